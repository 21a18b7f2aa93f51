// Reads registry text over a platform whose every answer comes from the
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
#include "tests/fuzz/Text.h"

namespace {

constexpr std::uint32_t kBufferOffer = 255;
constexpr std::uintptr_t kHandle = 0x5A5A;

struct Read {
    std::uint32_t offered = 0;
    bool succeeded = false;
    std::string bytes;  // what the read left at the start of the buffer
    std::uint32_t reportedSize = 0;
};

// A registry that answers from the input and checks how it is used. Only the
// registry is ever asked for: anything else is a broken invariant.
class ScriptedRegistry : public Platform {
public:
    explicit ScriptedRegistry(FuzzedDataProvider& input) : input_(input) {}

    int opens = 0;
    int closes = 0;
    bool opened = false;
    RegistryRoot root = RegistryRoot::ClassesRoot;
    std::string subkey;
    std::vector<Read> reads;

    std::optional<RegistryKey> OpenKey(RegistryRoot keyRoot, const std::string& keySubkey,
                                       std::uint32_t access) override {
        VSL_REQUIRE(opens == 0);
        VSL_REQUIRE(access == kKeyQueryValue);
        opens++;
        root = keyRoot;
        subkey = keySubkey;
        opened = input_.ConsumeBool();
        return opened ? std::optional<RegistryKey>(RegistryKey{kHandle}) : std::nullopt;
    }

    bool QueryValue(RegistryKey key, const std::string&, unsigned char* buffer,
                    std::uint32_t* size) override {
        VSL_REQUIRE(opened && closes == 0 && key.handle == kHandle);
        VSL_REQUIRE(buffer != nullptr && size != nullptr);
        Read read;
        read.offered = *size;
        VSL_REQUIRE(read.offered <= kBufferOffer);
        read.succeeded = input_.ConsumeBool();
        auto count = input_.ConsumeIntegralInRange<std::uint32_t>(0, read.offered);
        read.bytes = input_.ConsumeBytesAsString(count);
        std::copy(read.bytes.begin(), read.bytes.end(), buffer);
        // A sound platform reports the bytes it delivered after a success and
        // the size it would need after a failure; this one may report anything.
        bool honest = input_.ConsumeBool();
        if (read.succeeded && honest) {
            read.reportedSize = static_cast<std::uint32_t>(read.bytes.size());
        } else {
            read.reportedSize = input_.ConsumeIntegral<std::uint32_t>();
        }
        *size = read.reportedSize;
        reads.push_back(read);
        return read.succeeded;
    }

    void CloseKey(RegistryKey key) override {
        VSL_REQUIRE(opened && key.handle == kHandle);
        closes++;
    }

    void DeleteKey(RegistryKey, const std::string&) override {
        BrokenInvariant("DeleteKey", __FILE__, __LINE__);
    }
    bool StartProgram(const std::string&, const std::string&, const std::string&) override {
        BrokenInvariant("StartProgram", __FILE__, __LINE__);
    }
    std::string WindowsFolder() override { BrokenInvariant("WindowsFolder", __FILE__, __LINE__); }
    std::string SystemFolder() override { BrokenInvariant("SystemFolder", __FILE__, __LINE__); }
    std::optional<std::string> ConvertText(const std::string&, CodePage, CodePage) override {
        BrokenInvariant("ConvertText", __FILE__, __LINE__);
    }
    std::optional<std::string> ReadEnvironment(const std::string&) override {
        BrokenInvariant("ReadEnvironment", __FILE__, __LINE__);
    }
    std::string ProgramPath() override { BrokenInvariant("ProgramPath", __FILE__, __LINE__); }
    bool IsElevated() override { BrokenInvariant("IsElevated", __FILE__, __LINE__); }
    bool StartElevated(const std::string&, const std::string&) override {
        BrokenInvariant("StartElevated", __FILE__, __LINE__);
    }
    bool CanChangeFolder(const std::string&) override {
        BrokenInvariant("CanChangeFolder", __FILE__, __LINE__);
    }
    bool TakeLock(const std::string&) override { BrokenInvariant("TakeLock", __FILE__, __LINE__); }
    bool WriteTextFile(const std::string&, const std::string&) override {
        BrokenInvariant("WriteTextFile", __FILE__, __LINE__);
    }
    int ShowMessageBox(const std::string&, unsigned) override {
        BrokenInvariant("ShowMessageBox", __FILE__, __LINE__);
    }

private:
    void Exit(int) override { BrokenInvariant("Exit", __FILE__, __LINE__); }

    FuzzedDataProvider& input_;
};

// The key is opened once and, when it opened, closed once after the reads;
// each read after the first is offered what the one before it reported, and
// never more than the buffer holds.
void CheckUse(const ScriptedRegistry& registry, int expectedReads) {
    VSL_REQUIRE(registry.opens == 1);
    if (!registry.opened) {
        VSL_REQUIRE(registry.reads.empty() && registry.closes == 0);
        return;
    }
    VSL_REQUIRE(registry.closes == 1);
    VSL_REQUIRE(registry.reads.size() == static_cast<std::size_t>(expectedReads));
    for (std::size_t i = 0; i < registry.reads.size(); i++) {
        std::uint32_t offer =
            i == 0 ? kBufferOffer : std::min(registry.reads[i - 1].reportedSize, kBufferOffer);
        VSL_REQUIRE(registry.reads[i].offered == offer);
    }
}

// The text that the deciding read delivered, when the registry was sound.
std::optional<std::string> DeliveredText(const ScriptedRegistry& registry) {
    if (!registry.opened || registry.reads.empty() || !registry.reads.back().succeeded) {
        return std::nullopt;
    }
    const std::string& bytes = registry.reads.back().bytes;
    return bytes.substr(0, bytes.find('\0'));
}

void CheckText(const ScriptedRegistry& registry, const std::optional<std::string>& text) {
    std::optional<std::string> delivered = DeliveredText(registry);
    VSL_REQUIRE(text.has_value() == delivered.has_value());
    if (!text) {
        return;
    }
    const Read& last = registry.reads.back();
    VSL_REQUIRE(text->find('\0') == std::string::npos);
    VSL_REQUIRE(text->size() <= std::min(last.reportedSize, kBufferOffer));
    if (last.reportedSize == last.bytes.size()) {
        VSL_REQUIRE(*text == *delivered);
    } else {
        // A size beyond the bytes written lets earlier bytes of the buffer
        // through, but the bytes this read wrote still lead.
        std::size_t common = std::min(text->size(), last.bytes.size());
        VSL_REQUIRE(text->compare(0, common, last.bytes, 0, common) == 0);
        VSL_REQUIRE(text->size() <= delivered->size() || delivered->size() == last.bytes.size());
    }
}

void CheckGamePath(const GameEntry& game, const ScriptedRegistry& registry, const std::string& path) {
    CheckUse(registry, game.reads);
    VSL_REQUIRE(registry.root == game.root && registry.subkey == game.subkey);
    VSL_REQUIRE(path != kUnknownGame);
    std::optional<std::string> delivered = DeliveredText(registry);
    if (!delivered) {
        VSL_REQUIRE(path.empty());
        return;
    }
    // The path is the start of the value, shortened by at most the game's
    // cuts, with the game's suffix behind it.
    VSL_REQUIRE(EndsWith(path, game.suffix));
    std::string kept = path.substr(0, path.size() - game.suffix.size());
    int cuts = 0;
    for (int cut : game.cuts) {
        cuts += cut;
    }
    if (registry.reads.back().reportedSize == registry.reads.back().bytes.size()) {
        VSL_REQUIRE(StartsWith(*delivered, kept));
        VSL_REQUIRE(delivered->size() - kept.size() <= static_cast<std::size_t>(cuts));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    auto choice = input.ConsumeIntegral<std::uint8_t>();
    ScriptedRegistry registry(input);
    const std::vector<GameEntry>& games = KnownGames();
    if (choice < games.size()) {
        const GameEntry& game = games[choice];
        CheckGamePath(game, registry, FindGameExecutable(registry, game.id));
        return 0;
    }
    int reads = 1 + choice % 3;
    std::optional<std::string> text =
        ReadRegistryText(registry, RegistryRoot::CurrentUser, "Software\\Vastrel", "path", reads);
    CheckUse(registry, reads);
    CheckText(registry, text);
    return 0;
}
