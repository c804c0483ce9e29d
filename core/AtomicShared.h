#pragma once

#include <atomic>
#include <memory>

// A shared handle to an immutable value that one thread replaces while other threads read it.
// A reader gets its own handle, so the value it took stays alive while it uses it.
//
// Both sides hold a spin flag only while they copy or swap the handle (one reference-count step),
// never while a value is built or released: a replaced value is released by the writer, after
// the flag is cleared, unless a reader still holds it. (std::atomic<std::shared_ptr> of GCC 12
// releases its internal lock in load() with relaxed order, which does not order the reader's copy
// before the next writer's swap.)
template <typename T> class AtomicShared {
public:
    AtomicShared() = default;
    explicit AtomicShared(std::shared_ptr<const T> value) : m_value(std::move(value)) {}
    AtomicShared(const AtomicShared&) = delete;
    AtomicShared& operator=(const AtomicShared&) = delete;

    // Any thread.
    std::shared_ptr<const T> load() const {
        lock();
        std::shared_ptr<const T> copy = m_value;
        unlock();
        return copy;
    }

    // Any thread; the replaced value is released here unless a reader holds it.
    void store(std::shared_ptr<const T> value) {
        lock();
        m_value.swap(value);
        unlock();
    }

private:
    void lock() const {
        while (m_busy.test_and_set(std::memory_order_acquire)) {
            while (m_busy.test(std::memory_order_relaxed)) {
            }
        }
    }
    void unlock() const { m_busy.clear(std::memory_order_release); }

    mutable std::atomic_flag m_busy;
    std::shared_ptr<const T> m_value;
};
