#pragma once

#include <string_view>

// Who watches a join or a check, and what one that stopped on request says.
namespace dividra::core {

// Told of progress (0 to 20 parts) and asked after each buffer whether to stop.
class JoinObserver {
public:
    virtual ~JoinObserver() = default;
    virtual void progressChanged(int /*parts*/) {}
    virtual bool cancelRequested() { return false; }
};

// A join that stopped because it was asked to.
inline constexpr std::string_view kCancelledText = "cancelled";

} // namespace dividra::core
