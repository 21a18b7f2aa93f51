#pragma once

#include <optional>
#include <string>

#include "link/LaunchRequest.h"
#include "platform/Platform.h"

extern const char kMalformedLinkMessage[];

// Splits a link of the form
//   vsl://<game id>/<host>:<port>?<key>=<value>&...&embed_url={<web address>}
// into a request, or nothing when the link is malformed. The port is decimal
// digits from 1 to 65535 as the link writes it. The braces of the embedded
// address may also stand percent-encoded, as %7B and %7D, which is how
// browsers hand them over. The pieces stay as the link has them: they are
// decoded by LinkParser.
std::optional<LaunchRequest> ParseLink(const std::string& link);

// Percent-decodes a piece of a link: each %XX escape becomes its byte. A "%"
// without two hex digits after it stays as it is, and so does every byte
// that was not escaped.
std::string DecodeLinkText(const std::string& text);

// The web address as browsers hand it over: the characters they escape
// (blank " < > \ ^ ` { | }, a "%" that starts no escape, and every byte
// beyond ASCII, as its UTF-8 bytes) escaped, everything else as it stands.
// The same page link then opens the same address whether a browser or
// anything else delivered it.
std::string EncodeAsBrowsersDo(const std::string& address);

// The launcher's reading of a link: ParseLink, then its pieces decoded once,
// then the whole request judged against what may reach the game
// (RequestRefusal). A link that fails is reported and ends the process with
// exit code 1, so this returns only a request that may start the game, or
// one for a game id that no known game has, which GameLauncher reports.
LaunchRequest LinkParser(Platform& platform, const std::string& link);
