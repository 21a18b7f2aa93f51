#pragma once

#include <string>
#include <vector>

// One key/value pair of a link's query; either may be empty.
struct ServerSetting {
    std::string m_strKey;
    std::string m_strValue;

    bool operator==(const ServerSetting& other) const {
        return m_strKey == other.m_strKey && m_strValue == other.m_strValue;
    }
};

// A parsed link: which game, which server, the server settings in link order,
// and the web address to open beside the game (empty for none).
struct LaunchRequest {
    std::string m_strGameId;
    std::string m_strHost;
    std::string m_strPort;
    std::vector<ServerSetting> m_settings;
    std::string m_strEmbedUrl;
};
