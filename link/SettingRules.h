#pragma once

#include <optional>
#include <string>

#include "link/LaunchRequest.h"

// What a link may hand to a game's console. A link comes from any web page,
// so it must never change where the game loads code or data from, make it
// download, update or run a file, load a library or driver, write files, or
// leave console text that the game runs later.

// Why the game must not start with this setting (decoded), in words that
// finish "This link was refused: "; nothing when it may.
std::optional<std::string> SettingRefusal(const ServerSetting& setting);

// The same for the server address (decoded) that the game connects to.
std::optional<std::string> ServerRefusal(const std::string& host, const std::string& port);

// A name or value as a message shows it: cut short when it is long.
std::string ShownInMessage(const std::string& text);

// The message for a refused link: the reason, and that nothing was started.
std::string RefusalMessage(const std::string& reason);
