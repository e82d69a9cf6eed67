// Block loops of the host-route floating-point executors at the process's length: one 16-byte
// block of every register at a time, every operand block read before the destination block is
// written, so a source that is also the destination is read with its old value and no
// whole-vector temporary or copy is needed. Each register is walked by its own pointer, which
// keeps every block access a single post-indexed load or store.
#pragma once

#include <cstddef>
#include <utility>

#include "sve/client/cpu_state.h"
#include "sve/exec/fp/lanes.h"

namespace ostrel::fp {

// What an inactive element gives an operation under a predicate, so that it raises nothing: +0,
// or +1.0 where the operation divides (0 / 0 would raise).
enum class Inactive { zero, one };

namespace detail {

template <std::size_t N> struct SourceCursors {
    const uint8_t *at[N];
    SourceCursors(const cpu_state &s, const uint32_t (&regs)[N]) {
        for (std::size_t i = 0; i < N; ++i)
            at[i] = s.z[regs[i]];
    }
    // op of the blocks under the cursors, each seen through fill; then every cursor moves on.
    template <class T, class Fill, class Op> Lanes<T> apply(Fill fill, Op &op) {
        return apply<T>(fill, op, std::make_index_sequence<N>{});
    }
    template <class T, class Fill, class Op, std::size_t... I>
    Lanes<T> apply(Fill fill, Op &op, std::index_sequence<I...>) {
        const Lanes<T> operands[N] = {fill(load_lanes<T>(at[I]))...};
        ((at[I] += kVectorBlockBytes), ...);
        return op(operands[I]...);
    }
};

// step() for every block of the process's length, where each step moves its cursors on by one
// block: four steps a loop turn (after one and two for the length's remainder), so the loop's own
// count and branch are a fraction of a block's few instructions. The same walk as
// for_each_block (vector_blocks.h) but without its offsets: through that one, with the offset
// unused, FMLA double cost 29 more instructions under the client and FADD single 15.
template <class Step> inline void for_each_block_step(Step step) {
    const unsigned blocks = vector_bytes() / kVectorBlockBytes;
    if (blocks & 1) step();
    if (blocks & 2) {
        step();
        step();
    }
    for (unsigned turns = blocks / 4; turns != 0; --turns) {
        step();
        step();
        step();
        step();
    }
}

} // namespace detail

// Zd block = op(blocks of the sources) for every block.
template <class T, std::size_t N, class Op>
void compute_blocks(cpu_state &s, uint32_t zd, const uint32_t (&sources)[N], Op op) {
    detail::SourceCursors<N> in(s, sources);
    uint8_t *d = s.z[zd];
    detail::for_each_block_step([&] {
        store_lanes<T>(d, in.template apply<T>([](Lanes<T> v) { return v; }, op));
        d += kVectorBlockBytes;
    });
}

// Zd block = op(blocks of the sources) in the lanes Pg makes active, Zd's old lanes elsewhere;
// op sees the inactive lanes of its operands as Fill.
template <class T, Inactive Fill = Inactive::zero, std::size_t N, class Op>
void merge_blocks(cpu_state &s, uint32_t zd, uint32_t pg, const uint32_t (&sources)[N], Op op) {
    detail::SourceCursors<N> in(s, sources);
    const uint8_t *pred = s.p[pg];
    uint8_t *d = s.z[zd];
    detail::for_each_block_step([&] {
        const Lanes<T> active = active_lanes<T>(pred);
        const Lanes<T> result = in.template apply<T>(
            [&](Lanes<T> v) {
                if constexpr (Fill == Inactive::zero)
                    return active_or_zero<T>(active, v);
                else
                    return active_or_one<T>(active, v);
            },
            op);
        store_lanes<T>(d, select<T>(active, result, load_lanes<T>(d)));
        d += kVectorBlockBytes;
        pred += kVectorBlockBytes;
    });
}

} // namespace ostrel::fp
