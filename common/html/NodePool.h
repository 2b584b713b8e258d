#pragma once

// Nodes of a parsed tree, made in blocks: a page of 100,000 elements costs a
// few hundred allocations rather than one for each node, and the next tree
// parsed into the same pool takes the blocks again. The pool owns its nodes;
// the tree's child lists only point at them.

#include <cstddef>
#include <memory>
#include <vector>

namespace html
{

// The deleter of a child pointer: the pool frees the node.
struct PoolOwned
{
    template <typename T>
    void operator()(T*) const noexcept
    {}
};

template <typename T>
using PoolPtr = std::unique_ptr<T, PoolOwned>;

template <typename T>
class NodePool
{
public:
    PoolPtr<T> Make()
    {
        // A node of an earlier tree is emptied as it is handed out again,
        // when it is written anyway; it keeps the room of its lists
        // (T::Reset), so a page parsed again makes no allocation for it.
        if (m_used < m_touched) {
            T& node = m_blocks[m_used / kBlockSize][m_used % kBlockSize];
            ++m_used;
            node.Reset();
            return PoolPtr<T>(&node);
        }
        return MakeNew();
    }
    // Takes every node back for the next tree: nothing may point at them any more.
    void Clear() { m_used = 0; }

private:
    // A node no tree has had yet, in a new block when the last is full. Out
    // of line: inlined, it would make every Make save the registers only it needs.
    __attribute__((noinline)) PoolPtr<T> MakeNew()
    {
        if (m_used == m_blocks.size() * kBlockSize)
            m_blocks.push_back(std::make_unique<T[]>(kBlockSize));
        T& node = m_blocks[m_used / kBlockSize][m_used % kBlockSize];
        m_touched = ++m_used;
        return PoolPtr<T>(&node);
    }

    static constexpr size_t kBlockSize = 256;
    std::vector<std::unique_ptr<T[]>> m_blocks;
    size_t m_used = 0;    // nodes handed out since the last Clear
    size_t m_touched = 0; // nodes ever handed out: those past m_used hold an old tree's state
};

} // namespace html
