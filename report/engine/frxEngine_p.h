// Internals shared by the files of the engine unit.
#pragma once

namespace frx {

// Runs `body`, then `finally` whether or not body raised; what body raised goes on.
template <typename Body, typename Finally> void withFinally(Body body, Finally finally)
{
    try {
        body();
    } catch (...) {
        finally();
        throw;
    } finally();
}

} // namespace frx
