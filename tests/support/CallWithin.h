// Runs a call on a thread of its own and waits a limited time, so that code which never returns fails
// its test instead of hanging the test binary.
#pragma once

#include <chrono>
#include <future>
#include <memory>
#include <optional>
#include <thread>
#include <utility>

namespace corvex::testing {

// The result, or nothing when the call has not returned within the limit. The call then keeps running
// on a detached thread: whatever it refers to must be left alive (leaked) by the caller in that case.
template <class Call>
auto callWithin(std::chrono::milliseconds limit, Call call) -> std::optional<decltype(call())> {
    using Result = decltype(call());
    auto promise = std::make_shared<std::promise<Result>>();
    std::future<Result> result = promise->get_future();
    std::thread([promise, call = std::move(call)]() mutable { promise->set_value(call()); }).detach();
    if (result.wait_for(limit) != std::future_status::ready)
        return std::nullopt;
    return result.get();
}

} // namespace corvex::testing
