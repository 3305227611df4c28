// Reference counting as COM objects do it, and a count of the objects alive,
// so that a test can see that every object was released exactly once.
#pragma once

#include <atomic>

#include <windows.h>

namespace hosted {

// Objects handed out and not yet released to nothing.
long LiveInputObjects();
void CountInputObject(int change);

template <class Interface> class ComObject : public Interface {
  public:
    ComObject() { CountInputObject(+1); }
    virtual ~ComObject() { CountInputObject(-1); }
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++m_references); }
    ULONG STDMETHODCALLTYPE Release() override {
        long left = --m_references;
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left < 0 ? 0 : left);
    }

  private:
    std::atomic<long> m_references{1};
};

} // namespace hosted
