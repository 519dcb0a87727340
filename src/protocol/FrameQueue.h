#pragma once

#include <cstddef>
#include <deque>
#include <string>

// The complete frames received from the server, header included, in arrival order,
// waiting for the dispatcher. The queue is bounded in count and in bytes, so that a
// server sending faster than the client dispatches cannot take all of its memory: a
// frame that does not fit is refused, and the caller closes the connection.
class FrameQueue {
public:
    // Two messages are dispatched per second, so this many keep the client busy for
    // well over an hour; a task list or task is far smaller than this many bytes.
    static constexpr std::size_t kMaxMessages = 10'000;
    static constexpr std::size_t kMaxBytes = 64u * 1024 * 1024;

    FrameQueue() = default;
    // Other bounds, for measuring the receiver beyond the client's own.
    FrameQueue(std::size_t maxMessages, std::size_t maxBytes)
        : maxMessages_(maxMessages), maxBytes_(maxBytes) {}

    // True if a frame of this size can be queued without passing either bound.
    bool Fits(std::size_t frameSize) const {
        return messages_.size() < maxMessages_ && frameSize <= maxBytes_ - bytes_;
    }
    // Queues a frame; the caller has checked Fits().
    void push_back(std::string frame);
    void pop_front();
    void clear();

    bool empty() const { return messages_.empty(); }
    std::size_t size() const { return messages_.size(); }
    std::size_t Bytes() const { return bytes_; }
    const std::string& front() const { return messages_.front(); }
    auto begin() const { return messages_.begin(); }
    auto end() const { return messages_.end(); }

private:
    std::deque<std::string> messages_;
    std::size_t bytes_ = 0;
    std::size_t maxMessages_ = kMaxMessages;
    std::size_t maxBytes_ = kMaxBytes;
};
