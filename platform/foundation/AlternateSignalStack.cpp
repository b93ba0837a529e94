#include "platform/foundation/AlternateSignalStack.h"

#include <csignal>
#include <sys/mman.h>
#include <unistd.h>

namespace platform::foundation {
namespace {

std::size_t guardSize()
{
    long size = sysconf(_SC_PAGESIZE);
    return size > 0 ? std::size_t(size) : 4096;
}

}

AlternateSignalStack::AlternateSignalStack()
{
    stack_t current {};
    if (sigaltstack(nullptr, &current) == 0 && (current.ss_flags & SS_DISABLE) == 0)
        return;
    std::size_t guard = guardSize();
    void* mapping = mmap(nullptr, guard + kSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapping == MAP_FAILED)
        return;
    mprotect(mapping, guard, PROT_NONE);
    stack_t stack {};
    stack.ss_sp = static_cast<char*>(mapping) + guard;
    stack.ss_size = kSize;
    if (sigaltstack(&stack, nullptr) != 0) {
        munmap(mapping, guard + kSize);
        return;
    }
    m_mapping = mapping;
}

AlternateSignalStack::~AlternateSignalStack()
{
    if (m_mapping == nullptr)
        return;
    stack_t current {};
    // Someone else's stack put in place meanwhile stays.
    if (sigaltstack(nullptr, &current) == 0 && current.ss_sp == static_cast<char*>(m_mapping) + guardSize()) {
        stack_t off {};
        off.ss_flags = SS_DISABLE;
        sigaltstack(&off, nullptr);
    }
    munmap(m_mapping, guardSize() + kSize);
}

}
