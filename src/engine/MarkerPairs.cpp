#include "engine/MarkerPairs.h"

#include <array>
#include <limits>
#include <set>
#include <vector>

namespace {

constexpr std::array<std::array<char, 2>, 6> kPairs = {
    {{'!', '@'}, {'!', '#'}, {'@', '!'}, {'@', '#'}, {'#', '!'}, {'#', '@'}}};

constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();

int PairOf(char first, char second) {
    for (std::size_t k = 0; k < kPairs.size(); ++k)
        if (kPairs[k][0] == first && kPairs[k][1] == second)
            return static_cast<int>(k);
    return -1;
}

bool HasPair(const std::string& text) {
    for (std::size_t i = 0; i + 1 < text.size(); ++i)
        if (PairOf(text[i], text[i + 1]) >= 0)
            return true;
    return false;
}

// The text as a linked list of its characters, with the positions where each pair
// starts kept in order, so that a pass finds every first occurrence at once.
class PairRemover {
public:
    explicit PairRemover(const std::string& text)
        : text(text), prev(text.size()), next(text.size()), deleted(text.size()) {
        for (std::size_t i = 0; i < text.size(); ++i) {
            prev[i] = i == 0 ? kNone : i - 1;
            next[i] = i + 1 < text.size() ? i + 1 : kNone;
            if (next[i] != kNone)
                Note(i, next[i]);
        }
    }

    // One pass over the six pairs; false when it found none.
    bool Pass() {
        bool found = false;
        for (std::set<std::size_t>& starts : at) {
            if (starts.empty())
                continue;
            Delete(*starts.begin());
            found = true;
        }
        return found;
    }

    std::string Rest() const {
        std::string rest;
        for (std::size_t i = 0; i < text.size(); ++i)
            if (!deleted[i])
                rest += text[i];
        return rest;
    }

private:
    void Note(std::size_t first, std::size_t second) {
        const int k = PairOf(text[first], text[second]);
        if (k >= 0)
            at[static_cast<std::size_t>(k)].insert(first);
    }

    void Forget(std::size_t first, std::size_t second) {
        const int k = PairOf(text[first], text[second]);
        if (k >= 0)
            at[static_cast<std::size_t>(k)].erase(first);
    }

    void Delete(std::size_t i) {
        const std::size_t before = prev[i];
        const std::size_t after = next[i];
        if (after != kNone) {
            Forget(i, after);
            prev[after] = before;
        }
        if (before != kNone) {
            Forget(before, i);
            next[before] = after;
            if (after != kNone)
                Note(before, after);
        }
        deleted[i] = true;
    }

    const std::string& text;
    std::vector<std::size_t> prev;
    std::vector<std::size_t> next;
    std::vector<bool> deleted;
    std::array<std::set<std::size_t>, kPairs.size()> at;
};

} // namespace

bool RemoveMarkerPairs(std::string& text) {
    if (!HasPair(text))
        return false;
    PairRemover remover(text);
    while (remover.Pass()) {
    }
    text = remover.Rest();
    return true;
}
