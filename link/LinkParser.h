#pragma once

#include <optional>
#include <string>

#include "link/LaunchRequest.h"
#include "platform/Platform.h"

extern const char kMalformedLinkMessage[];

// Splits a link of the form
//   vsl://<game id>/<host>:<port>?<key>=<value>&...&embed_url={<web address>}
// into a request, or nothing when the link is malformed. The braces of the
// embedded address may also stand percent-encoded, as %7B and %7D, which is
// how browsers hand them over. The pieces stay as the link has them: they
// are decoded by LinkParser.
std::optional<LaunchRequest> ParseLink(const std::string& link);

// Percent-decodes a piece of a link: each run of %XX escapes is read as
// UTF-8, which is how browsers encode a character, and converted to the ANSI
// code page in which the game reads its command line. A "%" without two hex
// digits after it stays as it is, and so does every byte that was not
// escaped. Nothing when an escaped run is no UTF-8 or the code page lacks one
// of its characters.
std::optional<std::string> DecodeLinkText(Platform& platform, const std::string& text);

// The web address as browsers hand it over: the characters they escape
// (blank " < > \ ^ ` { | }, a "%" that starts no escape, and every byte
// beyond ASCII, as its UTF-8 bytes) escaped, everything else as it stands.
// The same page link then opens the same address whether a browser or
// anything else delivered it.
std::string EncodeAsBrowsersDo(Platform& platform, const std::string& address);

// The launcher's reading of a link: ParseLink, then the host, the port and
// every setting decoded and checked against what may reach the game. A link
// that fails is reported and ends the process with exit code 1, so this
// returns only a request that may start the game.
LaunchRequest LinkParser(Platform& platform, const std::string& link);
