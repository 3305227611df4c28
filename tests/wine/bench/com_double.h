// Reference counting as COM objects do it, for the DirectInput double.
#pragma once

#include <windows.h>

template <class Interface> class ComDouble : public Interface {
  public:
    ComDouble() = default;
    virtual ~ComDouble() = default;
    ComDouble(const ComDouble&) = delete;
    ComDouble& operator=(const ComDouble&) = delete;

    ULONG STDMETHODCALLTYPE AddRef() override {
        return static_cast<ULONG>(InterlockedIncrement(&m_references));
    }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG left = InterlockedDecrement(&m_references);
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left < 0 ? 0 : left);
    }

  private:
    LONG m_references = 1;
};
