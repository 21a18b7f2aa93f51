#include "link/LinkParser.h"

#include <utility>

const char kMalformedLinkMessage[] =
    "Malformed parameter string passed\nThis would most likely be caused by a bad link.";

namespace {

// The scheme and its slashes, "vsl://", taken as any six characters.
constexpr size_t kPrefixLength = 6;

constexpr char kEmbedUrl[] = "embed_url";
constexpr char kEmbedUrlOpen[] = "embed_url={";

// Cuts the field in front of the first delimiter off rest. Without the
// delimiter the field is the whole of rest, and rest stays as it is, so the
// next cut sees the same text again.
std::string CutAt(std::string& rest, char delimiter) {
    size_t at = rest.find(delimiter);
    if (at == std::string::npos) {
        return rest;
    }
    std::string field = rest.substr(0, at);
    rest.erase(0, at + 1);
    return field;
}

// The games split their command line into console commands at "+" and at
// line breaks and run ";" as a separator, so a piece holding one of these
// would smuggle commands of its own onto the game's command line.
bool CarriesConsoleCommand(const std::string& piece) {
    return piece.find_first_of("+;\r\n") != std::string::npos;
}

bool CarriesConsoleCommand(const LaunchRequest& request) {
    if (CarriesConsoleCommand(request.m_strHost) || CarriesConsoleCommand(request.m_strPort)) {
        return true;
    }
    for (const ServerSetting& setting : request.m_settings) {
        if (CarriesConsoleCommand(setting.m_strKey) || CarriesConsoleCommand(setting.m_strValue)) {
            return true;
        }
    }
    return false;
}

// Takes the embed_url={...} parameter out of the query and returns the
// address between its braces; nothing when the parameter is malformed.
std::optional<std::string> TakeEmbedUrl(std::string& query) {
    size_t open = query.find('{');
    size_t close = query.find('}');
    if (close == std::string::npos || close < open) {
        return std::nullopt;
    }
    std::string address = query.substr(open + 1, close - open - 1);

    size_t at = query.find(kEmbedUrl);
    std::string after = query.substr(close + 1);
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

}  // namespace

std::optional<LaunchRequest> ParseLink(const std::string& link) {
    if (link.size() < kPrefixLength) {
        return std::nullopt;
    }
    std::string rest = link.substr(kPrefixLength);

    LaunchRequest request;
    request.m_strGameId = CutAt(rest, '/');
    request.m_strHost = CutAt(rest, ':');
    request.m_strPort = CutAt(rest, '?');
    if (request.m_strGameId.empty() || request.m_strHost.empty() || request.m_strPort.empty()) {
        return std::nullopt;
    }

    std::string query = rest;
    if (query.find(kEmbedUrlOpen) != std::string::npos) {
        std::optional<std::string> address = TakeEmbedUrl(query);
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

    if (CarriesConsoleCommand(request)) {
        return std::nullopt;
    }
    return request;
}

LaunchRequest LinkParser(Platform& platform, const std::string& link) {
    std::optional<LaunchRequest> request = ParseLink(link);
    if (!request) {
        platform.ShowMessageBox(kMalformedLinkMessage, kMbIconHand);
        platform.EndProcess(1);
    }
    return *request;
}
