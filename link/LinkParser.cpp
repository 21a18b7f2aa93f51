#include "link/LinkParser.h"

#include <cstring>
#include <utility>

#include "link/GameLocator.h"
#include "link/SettingRules.h"

const char kMalformedLinkMessage[] =
    "Malformed parameter string passed\nThis would most likely be caused by a bad link.";

namespace {

// The scheme and its slashes, "vsl://", taken as any six characters.
constexpr size_t kPrefixLength = 6;

constexpr char kEmbedUrl[] = "embed_url";
constexpr char kEmbedUrlIs[] = "embed_url=";

constexpr long kHighestPort = 65535;

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool IsEscapeAt(const std::string& text, size_t at) {
    return text[at] == '%' && at + 2 < text.size() && HexValue(text[at + 1]) >= 0 &&
           HexValue(text[at + 2]) >= 0;
}

// A brace of the embedded address, written as it is or percent-encoded (%7B,
// %7D, hex digits in either case): which kind, and how many characters it
// takes in the text.
enum class BraceKind { None, Open, Close };

struct Brace {
    BraceKind kind;
    size_t length;
};

Brace BraceAt(const std::string& text, size_t at) {
    char c = text[at];
    if (c == '{' || c == '}') {
        return {c == '{' ? BraceKind::Open : BraceKind::Close, 1};
    }
    if (IsEscapeAt(text, at) && text[at + 1] == '7') {
        char digit = text[at + 2];
        if (digit == 'b' || digit == 'B') {
            return {BraceKind::Open, 3};
        }
        if (digit == 'd' || digit == 'D') {
            return {BraceKind::Close, 3};
        }
    }
    return {BraceKind::None, 1};
}

// Where the embedded address's parameter, "embed_url=" followed by an
// opening brace, begins in the query; npos when the query has none.
size_t FindEmbedUrl(const std::string& query) {
    const size_t nameLength = strlen(kEmbedUrlIs);
    for (size_t at = query.find(kEmbedUrlIs); at != std::string::npos; at = query.find(kEmbedUrlIs, at + 1)) {
        if (at + nameLength < query.size() && BraceAt(query, at + nameLength).kind == BraceKind::Open) {
            return at;
        }
    }
    return std::string::npos;
}

// Takes the embed_url parameter that begins at `at` out of the query and
// returns the address between its braces; nothing when it is malformed.
// The parameter stands whole between the query's "&"s, and its brace must be
// the query's first; the address runs to the brace that closes it, so that
// an address may hold braces of its own in pairs (a browser hands over
// {https://a/?q=%7Bx%7D} as %7Bhttps://a/?q=%7Bx%7D%7D), and "&" too.
std::optional<std::string> TakeEmbedUrl(std::string& query, size_t at) {
    if (at != 0 && query[at - 1] != '&') {
        return std::nullopt;
    }
    const size_t open = at + strlen(kEmbedUrlIs);
    for (size_t i = 0; i < open; i++) {
        if (BraceAt(query, i).kind != BraceKind::None) {
            return std::nullopt;
        }
    }
    const size_t start = open + BraceAt(query, open).length;
    int depth = 1;
    size_t close = start;
    Brace brace{BraceKind::None, 1};
    for (; close < query.size(); close += brace.length) {
        brace = BraceAt(query, close);
        if (brace.kind == BraceKind::Open) {
            depth++;
        } else if (brace.kind == BraceKind::Close && --depth == 0) {
            break;
        }
    }
    if (depth != 0) {
        return std::nullopt;
    }
    std::string address = query.substr(start, close - start);

    std::string after = query.substr(close + brace.length);
    if (!after.empty() && after[0] != '&') {
        return std::nullopt;
    }
    if (at == 0) {
        // Nothing stands before the parameter to take its separator with it,
        // so the one after the brace goes instead.
        if (!after.empty() && after[0] == '&') {
            after.erase(0, 1);
        }
        query = after;
    } else {
        query.resize(at - 1);
        query += after;
    }
    if (query.find(kEmbedUrl) != std::string::npos) {
        return std::nullopt;
    }
    return address;
}

// The characters that browsers escape in a link's query, besides "%" that
// starts no escape and every byte beyond ASCII.
bool BrowsersEscape(char c) {
    return c != '\0' && strchr(" \"<>\\^`{|}", c) != nullptr;
}

void AppendEscape(std::string& text, unsigned char byte) {
    const char digits[] = "0123456789ABCDEF";
    text += '%';
    text += digits[byte >> 4];
    text += digits[byte & 0x0F];
}

// The pieces as the page meant them: the host, the keys and the values
// percent-decoded (the port is digits as the link writes it), and the web
// address encoded as browsers do.
LaunchRequest Decoded(LaunchRequest request) {
    request.m_strHost = DecodeLinkText(request.m_strHost);
    for (ServerSetting& setting : request.m_settings) {
        setting.m_strKey = DecodeLinkText(setting.m_strKey);
        setting.m_strValue = DecodeLinkText(setting.m_strValue);
    }
    request.m_strEmbedUrl = EncodeAsBrowsersDo(request.m_strEmbedUrl);
    return request;
}

}  // namespace

std::optional<LaunchRequest> ParseLink(const std::string& link) {
    if (link.size() < kPrefixLength) {
        return std::nullopt;
    }
    // The game id runs to the first "/", the server from there to the
    // query's "?", its host to the first ":" in it.
    size_t slash = link.find('/', kPrefixLength);
    if (slash == std::string::npos) {
        return std::nullopt;
    }
    size_t question = link.find('?', slash);
    size_t serverEnd = question == std::string::npos ? link.size() : question;
    size_t colon = link.find(':', slash);
    if (colon >= serverEnd) {
        return std::nullopt;
    }

    LaunchRequest request;
    request.m_strGameId = link.substr(kPrefixLength, slash - kPrefixLength);
    request.m_strHost = link.substr(slash + 1, colon - slash - 1);
    request.m_strPort = link.substr(colon + 1, serverEnd - colon - 1);
    if (request.m_strGameId.empty() || request.m_strHost.empty() ||
        !IsWholeNumberIn(request.m_strPort, 1, kHighestPort)) {
        return std::nullopt;
    }

    std::string query = question == std::string::npos ? std::string() : link.substr(question + 1);
    size_t embedUrl = FindEmbedUrl(query);
    if (embedUrl != std::string::npos) {
        std::optional<std::string> address = TakeEmbedUrl(query, embedUrl);
        if (!address) {
            return std::nullopt;
        }
        request.m_strEmbedUrl = *address;
    }

    // Walks the query with a position rather than cutting pairs off its
    // front, which would move the rest of a long query once per pair.
    size_t position = 0;
    while (position < query.size()) {
        size_t equals = query.find('=', position);
        if (equals == std::string::npos) {
            break;
        }
        ServerSetting setting;
        setting.m_strKey = query.substr(position, equals - position);
        position = equals + 1;
        size_t ampersand = query.find('&', position);
        if (ampersand == std::string::npos) {
            ampersand = query.size();
        }
        setting.m_strValue = query.substr(position, ampersand - position);
        position = ampersand + 1;
        request.m_settings.push_back(std::move(setting));
    }
    return request;
}

std::string DecodeLinkText(const std::string& text) {
    std::string decoded;
    for (size_t i = 0; i < text.size(); i++) {
        if (IsEscapeAt(text, i)) {
            decoded += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
        } else {
            decoded += text[i];
        }
    }
    return decoded;
}

std::string EncodeAsBrowsersDo(const std::string& address) {
    std::string encoded;
    for (size_t i = 0; i < address.size(); i++) {
        // A byte beyond ASCII is part of a character's UTF-8, which is what a
        // browser escapes.
        auto byte = static_cast<unsigned char>(address[i]);
        if (byte >= 0x80 || BrowsersEscape(address[i]) || (address[i] == '%' && !IsEscapeAt(address, i))) {
            AppendEscape(encoded, byte);
        } else {
            encoded += address[i];
        }
    }
    return encoded;
}

LaunchRequest LinkParser(Platform& platform, const std::string& link) {
    std::optional<LaunchRequest> parsed = ParseLink(link);
    if (!parsed) {
        platform.Fail(kMalformedLinkMessage);
    }
    LaunchRequest request = Decoded(std::move(*parsed));
    if (const GameEntry* game = FindGame(request.m_strGameId)) {
        if (std::optional<std::string> refusal = RequestRefusal(*game, request)) {
            platform.Fail(RefusalMessage(*refusal));
        }
    }
    return request;
}
