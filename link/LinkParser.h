#pragma once

#include <optional>
#include <string>

#include "link/LaunchRequest.h"
#include "platform/Platform.h"

extern const char kMalformedLinkMessage[];

// Splits a link of the form
//   vsl://<game id>/<host>:<port>?<key>=<value>&...&embed_url={<web address>}
// into a request. Nothing when the link is malformed.
std::optional<LaunchRequest> ParseLink(const std::string& link);

// ParseLink for the launcher: a malformed link is reported and ends the
// process with exit code 1, so this returns only a complete request.
LaunchRequest LinkParser(Platform& platform, const std::string& link);
