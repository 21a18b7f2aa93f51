// Reads registry text over a registry whose every answer comes from the
// input: whether the key opens, and for each read whether it succeeds, which
// bytes it leaves in the buffer and which size it reports. The last byte
// picks the lookup: a known game's FindGameExecutable, or ReadRegistryText
// with one to three reads.

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "link/GameLocator.h"
#include "platform/RegistryText.h"
#include "tests/fuzz/Invariant.h"
#include "tests/support/FakePlatform.h"

namespace {

constexpr std::uint32_t kOffered = 255;

struct Read {
    std::uint32_t offered;
    bool succeeded;
    std::string bytes;  // what the read left at the start of the buffer
    std::uint32_t reported;
};

class ScriptedRegistry : public FakePlatform {
public:
    explicit ScriptedRegistry(FuzzedDataProvider& input) : input_(input) {}

    int opens = 0;
    int closes = 0;
    bool opened = false;
    std::vector<Read> reads;

    std::optional<RegistryKey> OpenKey(RegistryRoot, const std::string&, std::uint32_t access) override {
        VSL_REQUIRE(opens++ == 0 && access == kKeyQueryValue);
        opened = input_.ConsumeBool();
        return opened ? std::optional<RegistryKey>(RegistryKey{0x5A5A}) : std::nullopt;
    }

    // A sound registry reports the bytes it delivered after a success and the
    // size it would need after a failure; this one may report anything.
    bool QueryValue(RegistryKey key, const std::string&, unsigned char* buffer,
                    std::uint32_t* size) override {
        VSL_REQUIRE(opened && closes == 0 && key.handle == 0x5A5A && *size <= kOffered);
        Read read{*size, input_.ConsumeBool(), "", 0};
        read.bytes =
            input_.ConsumeBytesAsString(input_.ConsumeIntegralInRange<std::uint32_t>(0, read.offered));
        std::copy(read.bytes.begin(), read.bytes.end(), buffer);
        bool honest = input_.ConsumeBool() && read.succeeded;
        *size = read.reported =
            honest ? static_cast<std::uint32_t>(read.bytes.size()) : input_.ConsumeIntegral<std::uint32_t>();
        reads.push_back(read);
        return read.succeeded;
    }

    void CloseKey(RegistryKey key) override {
        VSL_REQUIRE(opened && key.handle == 0x5A5A);
        closes++;
    }

    // The key opens once and, when it opened, closes once after the reads;
    // each read after the first is offered what the one before it reported,
    // never more than the buffer holds. The text that the deciding read
    // delivered, up to its first zero byte; none when it failed.
    std::optional<std::string> CheckUse(std::size_t expectedReads) const {
        VSL_REQUIRE(opens == 1 && closes == (opened ? 1 : 0));
        VSL_REQUIRE(reads.size() == (opened ? expectedReads : 0));
        for (std::size_t i = 0; i < reads.size(); i++) {
            VSL_REQUIRE(reads[i].offered == (i == 0 ? kOffered : std::min(reads[i - 1].reported, kOffered)));
        }
        if (reads.empty() || !reads.back().succeeded) {
            return std::nullopt;
        }
        return reads.back().bytes.substr(0, reads.back().bytes.find('\0'));
    }

private:
    FuzzedDataProvider& input_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    auto choice = input.ConsumeIntegral<std::uint8_t>();
    ScriptedRegistry registry(input);
    if (choice < KnownGames().size()) {
        // A game's path: empty when nothing was read, else the value's start
        // (shortened by the game's cuts) with the game's suffix behind it.
        const GameEntry& game = KnownGames()[choice];
        std::string path = FindGameExecutable(registry, game.id);
        std::optional<std::string> delivered = registry.CheckUse(game.reads);
        VSL_REQUIRE(path.empty() == !delivered && EndsWith(path, delivered ? game.suffix : ""));
        VSL_REQUIRE(!Contains(path, std::string(1, '\0')));
        return 0;
    }
    // The text holds no zero byte and no more than the deciding read
    // delivered, and begins with the bytes that read wrote.
    std::size_t reads = 1 + choice % 3;
    std::optional<std::string> text = ReadRegistryText(registry, RegistryRoot::CurrentUser,
                                                       "Software\\Vastrel", "path", static_cast<int>(reads));
    std::optional<std::string> delivered = registry.CheckUse(reads);
    VSL_REQUIRE(text.has_value() == delivered.has_value());
    if (text) {
        const Read& last = registry.reads.back();
        std::size_t common = std::min(text->size(), last.bytes.size());
        VSL_REQUIRE(!Contains(*text, std::string(1, '\0')) &&
                    text->size() <= std::min(last.reported, kOffered));
        VSL_REQUIRE(text->compare(0, common, last.bytes, 0, common) == 0);
        VSL_REQUIRE(last.reported != last.bytes.size() || *text == *delivered);
    }
    return 0;
}
