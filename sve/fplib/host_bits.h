// An element's bit pattern as the host's own float or double, and back: the one view both the
// library's host fast paths and the host-route executors take of a single or double element.
#pragma once

#include <cstring>
#include <type_traits>

namespace ostrel::fplib {

template <class T> using HostFloatOf = std::conditional_t<sizeof(T) == 4, float, double>;

template <class T> inline HostFloatOf<T> to_host(T bits) {
    HostFloatOf<T> v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

template <class T> inline T from_host(HostFloatOf<T> v) {
    T bits;
    std::memcpy(&bits, &v, sizeof bits);
    return bits;
}

} // namespace ostrel::fplib
