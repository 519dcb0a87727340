#include "protocol/FrameQueue.h"

void FrameQueue::push_back(std::string frame) {
    bytes_ += frame.size();
    messages_.push_back(std::move(frame));
}

void FrameQueue::pop_front() {
    bytes_ -= messages_.front().size();
    messages_.pop_front();
}

void FrameQueue::clear() {
    messages_.clear();
    bytes_ = 0;
}
