#include "core/TextArena.h"

#include <memory>
#include <vector>

namespace Vel {

namespace {

// Big enough that a long story needs few blocks, small enough that a short game wastes little of its last one.
constexpr std::size_t kBlockSize = 64 * 1024;

struct Blocks
{
    std::vector<std::unique_ptr<char[]>> owned;
    char* free = nullptr;
    std::size_t left = 0;
};

} // namespace

char* TextArena::Allocate(std::size_t size)
{
    static Blocks s_blocks;
    // A text of a quarter block or more gets a block of its own, so that it never strands the rest of one.
    if (size >= kBlockSize / 4) {
        s_blocks.owned.push_back(std::make_unique_for_overwrite<char[]>(size));
        return s_blocks.owned.back().get();
    }
    const std::size_t aligned = (size + 1) & ~std::size_t{1};
    if (aligned > s_blocks.left) {
        s_blocks.owned.push_back(std::make_unique_for_overwrite<char[]>(kBlockSize));
        s_blocks.free = s_blocks.owned.back().get();
        s_blocks.left = kBlockSize;
    }
    char* room = s_blocks.free;
    s_blocks.free += aligned;
    s_blocks.left -= aligned;
    return room;
}

} // namespace Vel
