#pragma once

#include <cstdint>

namespace kit {

// The Mach exception kinds as exception-mask bits, as the crash reporting controller's settings name them.
inline constexpr std::uint32_t kEMBExceptionMaskBadAccess { 1u << 1 };
inline constexpr std::uint32_t kEMBExceptionMaskBadInstruction { 1u << 2 };
inline constexpr std::uint32_t kEMBExceptionMaskArithmetic { 1u << 3 };
inline constexpr std::uint32_t kEMBExceptionMaskBreakpoint { 1u << 6 };
inline constexpr std::uint32_t kEMBExceptionMaskCrash { 1u << 10 };

/// The Mach exception kind a fatal signal stands for (0 for any other signal). This platform delivers every
/// fault as a signal, so the table only translates the settings' masks.
std::uint32_t EMBMachExceptionMaskForSignal(int signal);

}
