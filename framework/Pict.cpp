#include "Pict.h"

namespace fw::detail {

std::optional<QImage> DecodePict(const std::uint8_t*, std::size_t) { return std::nullopt; }

}  // namespace fw::detail
