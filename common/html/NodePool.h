#pragma once

// Nodes of a parsed tree, made in blocks: a page of 100,000 elements costs a
// few hundred allocations rather than one for each node. The pool owns its
// nodes until Clear; the tree's child lists only point at them.

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
    {
    }
};

template <typename T>
using PoolPtr = std::unique_ptr<T, PoolOwned>;

template <typename T>
class NodePool
{
public:
    PoolPtr<T> Make()
    {
        if (m_blocks.empty() || m_used == kBlockSize) {
            m_blocks.push_back(std::make_unique<T[]>(kBlockSize));
            m_used = 0;
        }
        return PoolPtr<T>(&m_blocks.back()[m_used++]);
    }
    // Frees every node: nothing may point at them any more.
    void Clear()
    {
        m_blocks.clear();
        m_used = 0;
    }

private:
    static constexpr size_t kBlockSize = 256;
    std::vector<std::unique_ptr<T[]>> m_blocks;
    size_t m_used = 0;
};

} // namespace html
