// The render host: output iterators, direct driver calls and the bucketed
// render on worker threads.

#include <algorithm>
#include <atomic>
#include <thread>

#include "internal.h"

using ai_standin::Output;

struct AtOutputIterator {
    struct Entry {
        AtString name;
        int pixel_type;
        const void* data;
    };
    std::vector<Entry> entries;
    size_t next = 0;
};

AI_API bool AiOutputIteratorGetNext(AtOutputIterator* iter, AtString* output_name,
                                    int* pixel_type, const void** bucket_data)
{
    if (!iter || iter->next >= iter->entries.size())
        return false;
    const AtOutputIterator::Entry& entry = iter->entries[iter->next++];
    if (output_name)
        *output_name = entry.name;
    if (pixel_type)
        *pixel_type = entry.pixel_type;
    if (bucket_data)
        *bucket_data = entry.data;
    return true;
}

AI_API void AiOutputIteratorReset(AtOutputIterator* iter)
{
    if (iter)
        iter->next = 0;
}

namespace {

AtOutputIterator make_iterator(const std::vector<Output>& outputs,
                               const std::vector<const float*>& data)
{
    AtOutputIterator iterator;
    for (size_t i = 0; i < outputs.size(); ++i)
        iterator.entries.push_back({AtString(outputs[i].name.c_str()), outputs[i].pixel_type,
                                    data[i]});
    return iterator;
}

AtOutputIterator iterator_as_given(const std::vector<Output>& outputs)
{
    std::vector<const float*> data;
    for (const Output& output : outputs)
        data.push_back(output.data);
    return make_iterator(outputs, data);
}

const AtDriverNodeMethods* driver_methods(const AtNode* node)
{
    if (node && node->entry && node->entry->dmethods)
        return node->entry->dmethods;
    if (node)
        standin::log_to(node->universe, ai_standin::SEVERITY_ERROR,
                        "%snode '%s' is not a driver made from a plug-in", standin::kOwnPrefix,
                        node->name.c_str());
    return nullptr;
}

int options_int(const AtUniverse* universe, const char* name)
{
    return AiNodeGetInt(universe->options, AtString(name));
}

bool window_valid(const AtBBox2& w, int xres, int yres)
{
    return w.minx >= 0 && w.miny >= 0 && w.minx <= w.maxx && w.miny <= w.maxy && w.maxx < xres &&
           w.maxy < yres;
}

// Per-bucket sample buffers cut from the frame outputs, contiguous and
// row-major from the bucket's first row.
std::vector<std::vector<float>> cut_bucket(const std::vector<Output>& frames, int xres,
                                           const AtBBox2& bucket)
{
    const int width = bucket.maxx - bucket.minx + 1;
    const int height = bucket.maxy - bucket.miny + 1;
    std::vector<std::vector<float>> buffers;
    buffers.reserve(frames.size());
    for (const Output& frame : frames) {
        const size_t k = static_cast<size_t>(frame.components);
        std::vector<float> buffer(static_cast<size_t>(width) * height * k);
        for (int row = 0; row < height; ++row) {
            const float* source =
                frame.data + (static_cast<size_t>(bucket.miny + row) * xres + bucket.minx) * k;
            std::copy(source, source + width * k, buffer.begin() + row * width * k);
        }
        buffers.push_back(std::move(buffer));
    }
    return buffers;
}

// Shared by the workers of one render.
struct RenderJob {
    AtNode* node;
    const AtDriverNodeMethods* methods;
    const std::vector<Output>* frames;
    int xres;
    std::vector<AtBBox2> buckets;
    std::atomic<size_t> next{0};
    std::atomic<int> written{0};
    std::mutex host_lock;  // serialises DriverPrepareBucket and DriverWriteBucket
};

void render_bucket(RenderJob& job, const AtBBox2& bucket, uint16_t tid)
{
    const AtDriverNodeMethods* m = job.methods;
    const int xo = bucket.minx, yo = bucket.miny;
    const int sx = bucket.maxx - bucket.minx + 1, sy = bucket.maxy - bucket.miny + 1;
    if (m->DriverNeedsBucket && !m->DriverNeedsBucket(job.node, xo, yo, sx, sy, tid))
        return;
    if (m->DriverPrepareBucket) {
        std::lock_guard lock(job.host_lock);
        m->DriverPrepareBucket(job.node, xo, yo, sx, sy, tid);
    }
    const std::vector<std::vector<float>> buffers = cut_bucket(*job.frames, job.xres, bucket);
    std::vector<const float*> data;
    for (const auto& buffer : buffers)
        data.push_back(buffer.data());
    AtOutputIterator iterator = make_iterator(*job.frames, data);
    if (m->DriverProcessBucket)
        m->DriverProcessBucket(job.node, &iterator, nullptr, xo, yo, sx, sy, tid);
    std::lock_guard lock(job.host_lock);
    if (m->DriverWriteBucket) {
        AiOutputIteratorReset(&iterator);
        m->DriverWriteBucket(job.node, &iterator, nullptr, xo, yo, sx, sy);
    }
    job.written.fetch_add(1);
}

void render_worker(RenderJob& job, uint16_t tid)
{
    standin::UniverseScope scope(job.node->universe);
    for (size_t i = job.next.fetch_add(1); i < job.buckets.size(); i = job.next.fetch_add(1))
        render_bucket(job, job.buckets[i], tid);
}

}  // namespace

namespace ai_standin {

AI_API void open_driver(AtNode* node, const std::vector<Output>& outputs, AtBBox2 display_window,
                        AtBBox2 data_window, int bucket_size)
{
    const AtDriverNodeMethods* m = driver_methods(node);
    if (!m || !m->DriverOpen)
        return;
    standin::UniverseScope scope(node->universe);
    AtOutputIterator iterator = iterator_as_given(outputs);
    m->DriverOpen(node, &iterator, display_window, data_window, bucket_size);
}

AI_API void write_bucket(AtNode* node, const std::vector<Output>& outputs, int xo, int yo,
                         int size_x, int size_y)
{
    const AtDriverNodeMethods* m = driver_methods(node);
    if (!m || !m->DriverWriteBucket)
        return;
    standin::UniverseScope scope(node->universe);
    AtOutputIterator iterator = iterator_as_given(outputs);
    m->DriverWriteBucket(node, &iterator, nullptr, xo, yo, size_x, size_y);
}

AI_API void close_driver(AtNode* node, const std::vector<Output>& outputs)
{
    const AtDriverNodeMethods* m = driver_methods(node);
    if (!m || !m->DriverClose)
        return;
    standin::UniverseScope scope(node->universe);
    AtOutputIterator iterator = iterator_as_given(outputs);
    m->DriverClose(node, &iterator);
}

AI_API std::vector<AtBBox2> bucket_grid(AtBBox2 window, int bucket_size)
{
    std::vector<AtBBox2> buckets;
    if (bucket_size <= 0 || window.maxx < window.minx || window.maxy < window.miny)
        return buckets;
    // 64-bit steps: a window reaching INT_MAX must not overflow the loop.
    for (long long y = window.miny; y <= window.maxy; y += bucket_size)
        for (long long x = window.minx; x <= window.maxx; x += bucket_size)
            buckets.push_back({static_cast<int>(x), static_cast<int>(y),
                               static_cast<int>(std::min<long long>(x + bucket_size - 1, window.maxx)),
                               static_cast<int>(std::min<long long>(y + bucket_size - 1, window.maxy))});
    return buckets;
}

AI_API int render(AtNode* node, const std::vector<Output>& frame_outputs, AtBBox2 data_window,
                  int bucket_size, int threads)
{
    const AtDriverNodeMethods* m = driver_methods(node);
    if (!m)
        return -1;
    AtUniverse* universe = node->universe;
    const int xres = options_int(universe, "xres");
    const int yres = options_int(universe, "yres");
    if (bucket_size <= 0 || threads <= 0 || !window_valid(data_window, xres, yres)) {
        standin::log_to(universe, SEVERITY_ERROR,
                        "%srender: needs a bucket size and a thread count above 0 and a data "
                        "window inside the %d x %d frame",
                        standin::kOwnPrefix, xres, yres);
        return -1;
    }
    std::vector<Output> announced = frame_outputs;  // open and close see no samples
    for (Output& output : announced)
        output.data = nullptr;
    open_driver(node, announced, AtBBox2{0, 0, xres - 1, yres - 1}, data_window, bucket_size);

    RenderJob job;
    job.node = node;
    job.methods = m;
    job.frames = &frame_outputs;
    job.xres = xres;
    job.buckets = bucket_grid(data_window, bucket_size);
    constexpr size_t kMaxWorkers = 256;
    const size_t workers = std::min({static_cast<size_t>(threads), kMaxWorkers,
                                     std::max<size_t>(job.buckets.size(), 1)});
    std::vector<std::thread> pool;
    for (size_t tid = 0; tid < workers; ++tid)
        pool.emplace_back(render_worker, std::ref(job), static_cast<uint16_t>(tid));
    for (std::thread& worker : pool)
        worker.join();

    close_driver(node, announced);
    return job.written.load();
}

}  // namespace ai_standin
