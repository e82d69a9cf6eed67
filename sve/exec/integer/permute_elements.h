// Element movements of the permute, unpack and element-selection instructions, written once for
// the fixed-length executors (cpu_state registers at the process's length) and the kernels (VL x 8
// bytes of a VecValue). Every function takes the element count and writes a destination that must
// not overlap its sources; predicates are given as a function of the element number.
#pragma once

#include <cstdint>
#include <cstring>

namespace ostrel::permute {

template <typename T> inline T get(const uint8_t *v, unsigned i) {
    T e;
    std::memcpy(&e, v + i * sizeof(T), sizeof(T));
    return e;
}
template <typename T> inline void put(uint8_t *v, unsigned i, T e) {
    std::memcpy(v + i * sizeof(T), &e, sizeof(T));
}

// ZIP1 (high = false) and ZIP2: the low or high halves of a and b interleaved.
template <typename T>
void zip(uint8_t *dst, const uint8_t *a, const uint8_t *b, unsigned n, bool high) {
    const unsigned h = high ? n / 2 : 0;
    for (unsigned i = 0; i < n / 2; ++i) {
        put<T>(dst, 2 * i, get<T>(a, h + i));
        put<T>(dst, 2 * i + 1, get<T>(b, h + i));
    }
}

// UZP1 (odd = 0) and UZP2 (odd = 1): the even or odd elements of the concatenation a : b.
template <typename T>
void uzp(uint8_t *dst, const uint8_t *a, const uint8_t *b, unsigned n, unsigned odd) {
    for (unsigned i = 0; i < n; ++i) {
        const unsigned src = 2 * i + odd;
        put<T>(dst, i, src < n ? get<T>(a, src) : get<T>(b, src - n));
    }
}

// TRN1 (odd = 0) and TRN2 (odd = 1): the even or odd elements of a and b, alternating.
template <typename T>
void trn(uint8_t *dst, const uint8_t *a, const uint8_t *b, unsigned n, unsigned odd) {
    for (unsigned i = 0; i + 1 < n; i += 2) {
        put<T>(dst, i, get<T>(a, i + odd));
        put<T>(dst, i + 1, get<T>(b, i + odd));
    }
}

template <typename T> void reverse(uint8_t *dst, const uint8_t *a, unsigned n) {
    for (unsigned i = 0; i < n; ++i)
        put<T>(dst, i, get<T>(a, n - 1 - i));
}

// Element i = table[index[i]], or 0 when the (unsigned) index is not below n.
template <typename T>
void table_lookup(uint8_t *dst, const uint8_t *table, const uint8_t *index, unsigned n) {
    for (unsigned i = 0; i < n; ++i) {
        const T idx = get<T>(index, i);
        put<T>(dst, i, idx < n ? get<T>(table, static_cast<unsigned>(idx)) : T{0});
    }
}

// The low or high half of Narrow elements, extended to Wide (the signedness of Narrow decides
// how); n_wide is the number of Wide elements.
template <typename Wide, typename Narrow>
void unpack(uint8_t *dst, const uint8_t *src, unsigned n_wide, bool high) {
    const unsigned first = high ? n_wide : 0;
    for (unsigned i = 0; i < n_wide; ++i)
        put<Wide>(dst, i, static_cast<Wide>(get<Narrow>(src, first + i)));
}

// ---- element selection ---------------------------------------------------------------------

// The last element i < n with active(i), or -1.
template <typename Active> int last_active(unsigned n, Active active) {
    for (unsigned i = n; i-- > 0;)
        if (active(i)) return static_cast<int>(i);
    return -1;
}

// The element LASTA and CLASTA take: the one after the last active element, wrapping to 0 after
// the last element of the vector (and 0 with none active).
inline unsigned after_last(int last, unsigned n) {
    const unsigned next = static_cast<unsigned>(last + 1);
    return next >= n ? 0 : next;
}

// The element LASTB takes: the last active one, or the last element of the vector.
inline unsigned last_or_top(int last, unsigned n) {
    return last < 0 ? n - 1 : static_cast<unsigned>(last);
}

// SPLICE: a's elements from the first to the last active one packed at the bottom, then b's
// elements from 0 upward.
template <typename T, typename Active>
void splice(uint8_t *dst, const uint8_t *a, const uint8_t *b, unsigned n, Active active) {
    unsigned x = 0;
    const int last = last_active(n, active);
    bool started = false;
    for (int i = 0; i <= last; ++i) {
        started = started || active(static_cast<unsigned>(i));
        if (started) put<T>(dst, x++, get<T>(a, static_cast<unsigned>(i)));
    }
    for (unsigned i = 0; x < n; ++i)
        put<T>(dst, x++, get<T>(b, i));
}

// COMPACT: the active elements of a packed at the bottom in order, the rest 0.
template <typename T, typename Active>
void compact(uint8_t *dst, const uint8_t *a, unsigned n, Active active) {
    unsigned x = 0;
    for (unsigned i = 0; i < n; ++i)
        if (active(i)) put<T>(dst, x++, get<T>(a, i));
    while (x < n)
        put<T>(dst, x++, T{0});
}

// INSR: every element moves up one place (the top one is lost), the scalar goes to element 0.
template <typename T> void insert(uint8_t *dst, const uint8_t *a, unsigned n, T scalar) {
    for (unsigned i = n; i-- > 1;)
        put<T>(dst, i, get<T>(a, i - 1));
    if (n > 0) put<T>(dst, 0, scalar);
}

template <typename T> void broadcast(uint8_t *dst, unsigned n, T value) {
    for (unsigned i = 0; i < n; ++i)
        put<T>(dst, i, value);
}

} // namespace ostrel::permute
