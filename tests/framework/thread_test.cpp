// Worker-thread objects on real threads: the procedure gets its parameter,
// an auto-deleting object is gone once its thread has ended, and a caller
// that took the handle over sees the thread's exit code through it. Only
// Win32 calls and the standard library, so the same checks run on Windows.
#include <gtest/gtest.h>

#include <vector>

#include <windows.h>

#include "framework/thread.h"

namespace {

// Counts its own deletions; the event tells a test that one happened.
class CCountedThread : public CWinThread {
  public:
    CCountedThread(AFX_THREADPROC proc, LPVOID param, LONG* deletions, HANDLE deleted)
        : CWinThread(proc, param), m_pDeletions(deletions), m_hDeleted(deleted) {}
    ~CCountedThread() override {
        ++*m_pDeletions;
        if (m_hDeleted)
            ::SetEvent(m_hDeleted);
    }

  private:
    LONG* m_pDeletions;
    HANDLE m_hDeleted;
};

struct Work {
    HANDLE go = nullptr; // the procedure returns once this is set
    LPVOID seen = nullptr;
    DWORD threadId = 0;
    UINT result = 0;
};

UINT RunWork(LPVOID param) {
    Work* work = static_cast<Work*>(param);
    work->seen = param;
    work->threadId = ::GetCurrentThreadId();
    if (work->go)
        ::WaitForSingleObject(work->go, INFINITE);
    return work->result;
}

} // namespace

TEST(WorkerThread, ATakenOverHandleOutlivesTheAutoDeletingObjectAndGivesTheExitCode) {
    LONG deletions = 0;
    Work work;
    work.go = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    work.result = 42;
    CWinThread* thread = new CCountedThread(RunWork, &work, &deletions, nullptr);
    ASSERT_TRUE(thread->CreateThread());
    HANDLE handle = thread->m_hThread;
    thread->m_hThread = nullptr;
    ASSERT_NE(handle, nullptr);

    DWORD code = 0;
    ASSERT_TRUE(::GetExitCodeThread(handle, &code));
    EXPECT_EQ(code, STILL_ACTIVE);
    ::SetEvent(work.go);
    // The teardown's own wait: ask again and again until the thread has ended.
    while (::GetExitCodeThread(handle, &code) && code == STILL_ACTIVE)
        ::WaitForSingleObject(handle, 10);
    EXPECT_EQ(code, 42u);
    EXPECT_EQ(deletions, 1) << "the object is deleted before its thread ends";
    EXPECT_EQ(work.seen, &work);
    EXPECT_NE(work.threadId, ::GetCurrentThreadId());
    EXPECT_TRUE(::CloseHandle(handle)) << "the object left the handle open";
    ::CloseHandle(work.go);
}

TEST(WorkerThread, ObjectsWhoseProceduresEndAtOnceStillDeleteThemselves) {
    // A procedure that returns at once may end its thread before
    // CreateThread has come back; each object must still be deleted once.
    const int kThreads = 32;
    std::vector<Work> works(kThreads);
    std::vector<HANDLE> deleted(kThreads);
    std::vector<LONG> deletions(kThreads, 0);
    for (int i = 0; i < kThreads; ++i) {
        deleted[i] = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
        works[i].result = static_cast<UINT>(i);
        CWinThread* thread = new CCountedThread(RunWork, &works[i], &deletions[i], deleted[i]);
        ASSERT_TRUE(thread->CreateThread()) << i;
    }
    ASSERT_EQ(::WaitForMultipleObjects(kThreads, deleted.data(), TRUE, 10000), WAIT_OBJECT_0);
    for (int i = 0; i < kThreads; ++i) {
        EXPECT_EQ(works[i].seen, &works[i]) << i;
        EXPECT_EQ(deletions[i], 1) << i;
        ::CloseHandle(deleted[i]);
    }
}

TEST(WorkerThread, OnlyAWorkerWithAProcedureStartsAndOnlyOnce) {
    CWinThread noProcedure;
    EXPECT_FALSE(noProcedure.CreateThread());
    EXPECT_EQ(noProcedure.m_hThread, nullptr);

    // The procedure waits, so the object is still there to be started again.
    Work work;
    work.go = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    CWinThread* thread = new CWinThread(RunWork, &work);
    ASSERT_TRUE(thread->CreateThread());
    HANDLE first = thread->m_hThread;
    EXPECT_FALSE(thread->CreateThread()) << "a second start would lose the first thread";
    EXPECT_EQ(thread->m_hThread, first);
    thread->m_hThread = nullptr;
    ::SetEvent(work.go);
    ASSERT_EQ(::WaitForSingleObject(first, 10000), WAIT_OBJECT_0);
    ::CloseHandle(first);
    ::CloseHandle(work.go);
}
