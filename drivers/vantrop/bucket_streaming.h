#pragma once
// vantrop's bucket streaming: each bucket's RGBA, Z and N outputs as 8-bit blocks to
// mtoa_callbacks.receive_bucket.

#include <ai.h>

#include <atomic>
#include <cstdint>

namespace korvane {

// Number sent with every message of a bucket; reset at render start, one per bucket.
extern std::atomic<uint32_t> bucket_index;

void send_bucket(AtNode* node, AtOutputIterator* iterator, AtAOVSampleIterator* sample_iterator,
                 int bucket_xo, int bucket_yo, int bucket_size_x, int bucket_size_y);

}  // namespace korvane
