#pragma once

// The entry points shared by the guard and the interposed functions. Kept free of standard headers so
// that the interposers can be defined without clashing with the C library's own declarations.
namespace RealtimeGuard::detail
{
void check (const char* function) noexcept;

// Looks up the C library's definitions that the interposers forward to (allocates the first time).
void resolveForwarding() noexcept;
} // namespace RealtimeGuard::detail
