#pragma once

// Nodes of a parsed tree, made in blocks: a page of 100,000 elements costs a
// few hundred allocations rather than one for each node, and the next tree
// parsed into the same pool takes the blocks again. The pool owns its nodes;
// the tree's child lists only point at them.

#include <algorithm>
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
        if (m_used == m_blocks.size() * kBlockSize)
            m_blocks.push_back(std::make_unique<T[]>(kBlockSize));
        T& node = m_blocks[m_used / kBlockSize][m_used % kBlockSize];
        if (m_used < m_stale)
            node.Reset();
        ++m_used;
        return PoolPtr<T>(&node);
    }
    // Empties every node for the next tree: nothing may point at them any more.
    // Nodes keep the room of their lists (T::Reset), so a page parsed again
    // into the same pool makes no allocation for them.
    void Clear()
    {
        for (size_t i = 0; i < std::max(m_used, m_stale); ++i)
            m_blocks[i / kBlockSize][i % kBlockSize].Reset();
        m_used = 0;
        m_stale = 0;
    }
    // The same, but each node is emptied only when Make hands it out again:
    // a tree parsed anew touches its nodes once. The nodes not taken again
    // keep what they held until then.
    void Recycle()
    {
        m_stale = std::max(m_stale, m_used);
        m_used = 0;
    }

private:
    static constexpr size_t kBlockSize = 256;
    std::vector<std::unique_ptr<T[]>> m_blocks;
    size_t m_used = 0;  // nodes handed out since the last Clear or Recycle
    size_t m_stale = 0; // the nodes below this one have to be emptied before they serve again
};

} // namespace html
