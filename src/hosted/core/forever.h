// Hosted state lives as long as the process: the program's own static
// destructors, and threads that end after main has returned, still call
// the hosted layer at exit, after a destroyed static would be gone.
#pragma once

#include <utility>

namespace hosted {

// Holds a T made on construction and never destroyed; meant as a function's
// static, so that T is made on first use, before any static that uses it.
template <class T> class Forever {
  public:
    template <class... Args>
    explicit Forever(Args&&... args) : m_object(new T(std::forward<Args>(args)...)) {}
    Forever(const Forever&) = delete;
    Forever& operator=(const Forever&) = delete;

    T& operator*() const { return *m_object; }

  private:
    T* const m_object;
};

} // namespace hosted
