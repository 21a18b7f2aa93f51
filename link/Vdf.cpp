#include "link/Vdf.h"

#include <cstring>
#include <utility>

#include "link/Ascii.h"

namespace {

constexpr std::size_t kMaxStringBytes = 1023;
constexpr int kMaxDepth = 8;

// Each escape Steam writes: the letter after the backslash and what it stands for.
constexpr char kEscapes[] = "ntvbrfa\\?'\"";
constexpr char kEscaped[] = "\n\t\v\b\r\f\a\\?'\"";

struct Cursor {
    const std::string& text;
    std::size_t at = 0;

    bool AtEnd() const { return at == text.size(); }
    char Next() const { return text[at]; }
    void SkipBlanks() {
        while (!AtEnd() && (Next() == ' ' || Next() == '\t' || Next() == '\r' || Next() == '\n')) {
            at++;
        }
    }
};

bool ReadString(Cursor& cursor, std::string& string) {
    if (cursor.AtEnd() || cursor.Next() != '"') {
        return false;
    }
    for (cursor.at++; !cursor.AtEnd(); cursor.at++) {
        char c = cursor.Next();
        if (c == '"') {
            cursor.at++;
            return true;
        }
        if (c == '\\') {
            cursor.at++;
            const char* escape =
                cursor.AtEnd() || cursor.Next() == '\0' ? nullptr : strchr(kEscapes, cursor.Next());
            if (escape == nullptr) {
                return false;
            }
            c = kEscaped[escape - kEscapes];
        }
        if (string.size() == kMaxStringBytes) {
            return false;
        }
        string += c;
    }
    return false;
}

// Pairs up to the brace that closes the block, or at depth 0 up to the end.
bool ReadPairs(Cursor& cursor, std::vector<VdfNode>& pairs, int depth) {
    for (;;) {
        cursor.SkipBlanks();
        if (cursor.AtEnd()) {
            return depth == 0;
        }
        if (cursor.Next() == '}') {
            cursor.at++;
            return depth > 0;
        }
        VdfNode pair;
        if (!ReadString(cursor, pair.key)) {
            return false;
        }
        cursor.SkipBlanks();
        if (!cursor.AtEnd() && cursor.Next() == '{') {
            cursor.at++;
            pair.block = true;
            if (depth == kMaxDepth || !ReadPairs(cursor, pair.children, depth + 1)) {
                return false;
            }
        } else if (!ReadString(cursor, pair.value)) {
            return false;
        }
        pairs.push_back(std::move(pair));
    }
}

}  // namespace

std::optional<std::vector<VdfNode>> ParseVdf(const std::string& text) {
    Cursor cursor{text};
    std::vector<VdfNode> pairs;
    if (!ReadPairs(cursor, pairs, 0)) {
        return std::nullopt;
    }
    return pairs;
}

const VdfNode* FindVdfPair(const std::vector<VdfNode>& pairs, const std::string& key) {
    for (const VdfNode& pair : pairs) {
        if (EqualIgnoringCase(pair.key, key)) {
            return &pair;
        }
    }
    return nullptr;
}
