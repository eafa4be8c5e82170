#ifndef MAYA_STANDIN_MSTANDINARRAY_H
#define MAYA_STANDIN_MSTANDINARRAY_H
// Storage shared by the runtime's array classes (MIntArray, MColorArray, ...).
// Not part of the public API: code uses the named array classes.

#include <maya/MStatus.h>
#include <cstddef>
#include <vector>

OPENMAYA_NAMESPACE_OPEN
namespace standin {

// Large blocks come from the runtime aligned to, and advised as, huge pages:
// first touches of fresh memory are what large arrays mostly pay for.
OPENMAYA_EXPORT void* allocateBlock(std::size_t bytes);
OPENMAYA_EXPORT void freeBlock(void* block, std::size_t bytes) noexcept;

template <class T>
struct BlockAllocator {
    using value_type = T;
    BlockAllocator() = default;
    template <class U>
    BlockAllocator(const BlockAllocator<U>&) {}
    T* allocate(std::size_t n) { return static_cast<T*>(allocateBlock(n * sizeof(T))); }
    void deallocate(T* p, std::size_t n) noexcept { freeBlock(p, n * sizeof(T)); }
    template <class U>
    bool operator==(const BlockAllocator<U>&) const { return true; }
    template <class U>
    bool operator!=(const BlockAllocator<U>&) const { return false; }
};

template <class T>
class ArrayStorage {
public:
    using element_type = T;

    ArrayStorage() = default;
    ArrayStorage(unsigned int count, const T& initial) : fItems(count, initial) {}
    ArrayStorage(const T* src, unsigned int count) : fItems(src, src + count) {}

    T& operator[](unsigned int i) { return fItems[i]; }
    const T& operator[](unsigned int i) const { return fItems[i]; }
    unsigned int length() const { return static_cast<unsigned int>(fItems.size()); }
    MStatus setLength(unsigned int n) { fItems.resize(n); return MStatus(); }
    MStatus append(const T& item) { fItems.push_back(item); return MStatus(); }
    MStatus set(const T& item, unsigned int i) {
        if (i >= fItems.size()) return MStatus(MStatus::kInvalidParameter, "Index out of range");
        fItems[i] = item;
        return MStatus();
    }
    MStatus insert(const T& item, unsigned int i) {
        if (i > fItems.size()) return MStatus(MStatus::kInvalidParameter, "Index out of range");
        fItems.insert(fItems.begin() + i, item);
        return MStatus();
    }
    MStatus remove(unsigned int i) {
        if (i >= fItems.size()) return MStatus(MStatus::kInvalidParameter, "Index out of range");
        fItems.erase(fItems.begin() + i);
        return MStatus();
    }
    MStatus clear() { fItems.clear(); return MStatus(); }
    MStatus get(T dest[]) const {
        for (size_t i = 0; i < fItems.size(); ++i) dest[i] = fItems[i];
        return MStatus();
    }
    void setSizeIncrement(unsigned int) {}
    unsigned int sizeIncrement() const { return 1; }
    // Contiguous storage, for the runtime's bulk copies.
    const T* data() const { return fItems.data(); }
    T* data() { return fItems.data(); }
    void reserve(unsigned int n) { fItems.reserve(n); }

private:
    std::vector<T, BlockAllocator<T>> fItems;
};

}  // namespace standin
OPENMAYA_NAMESPACE_CLOSE

// Defines an array class NAME of ELEMENT with Maya's array interface.
#define MAYA_STANDIN_ARRAY_CLASS(NAME, ELEMENT)                                      \
    class NAME : public standin::ArrayStorage<ELEMENT> {                             \
    public:                                                                          \
        NAME() = default;                                                            \
        NAME(unsigned int count, const ELEMENT& initial = element_type())            \
            : standin::ArrayStorage<ELEMENT>(count, initial) {}                      \
        NAME(const ELEMENT src[], unsigned int count)                                \
            : standin::ArrayStorage<ELEMENT>(src, count) {}                          \
        MStatus copy(const NAME& source) { *this = source; return MStatus(); }       \
    };

#endif
