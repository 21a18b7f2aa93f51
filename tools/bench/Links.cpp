#include "tools/bench/Links.h"

#include <cstdio>
#include <stdexcept>

const char kLinkStart[] = "vsl://rtcw/10.0.0.1:27960?";

namespace {

std::string NumberedPair(std::size_t number) {
    char pair[32];
    std::snprintf(pair, sizeof(pair), "k%04zu=v%04zu", number, number);
    return pair;
}

}  // namespace

GeneratedLink ManyPairsLink(std::size_t length) {
    GeneratedLink link;
    link.text = kLinkStart;
    std::string pair = NumberedPair(1);
    if (link.text.size() + pair.size() > length) {
        throw std::invalid_argument("a link of " + std::to_string(length) + " bytes holds no pair");
    }
    link.text += pair;
    link.pairs = 1;
    std::size_t lastValue = pair.size() - pair.find('=') - 1;
    for (;;) {
        pair = NumberedPair(link.pairs + 1);
        if (link.text.size() + 1 + pair.size() > length) {
            break;
        }
        link.text += "&" + pair;
        link.pairs++;
    }
    std::size_t padding = length - link.text.size();
    link.text.append(padding, 'x');
    link.longestValue = lastValue + padding;
    return link;
}

GeneratedLink OneLongValueLink(std::size_t length) {
    GeneratedLink link;
    link.text = std::string(kLinkStart) + "name=";
    if (link.text.size() > length) {
        throw std::invalid_argument("a link of " + std::to_string(length) + " bytes holds no pair");
    }
    link.longestValue = length - link.text.size();
    link.text.append(link.longestValue, 'x');
    link.pairs = 1;
    return link;
}
