#pragma once

#include <cstdint>

namespace kit {

struct EMBFile;
struct EMBProcess;

/// Whether a debugger traces this process ("TracerPid" of /proc/self/status is set). False, with an SDK
/// log line, when that cannot be read.
bool EMBProcessDebuggerAttached();

/// Reads now what "thread_names" and "process_stats" need from the system into `process`, so that the fault
/// path does it while the threads it asked to stop are still answering; those records then write what was
/// read here.
void EMBProcessReadAhead(EMBProcess* process);

/// Writes "thread_names": per listed thread, in order, its name (/proc/self/task/<tid>/comm), "" when it
/// cannot be read.
bool EMBProcessRecordThreadNames(const EMBProcess* process, EMBFile* file);

/// Writes "dispatch_queue_names": per listed thread, in order, the label of the queue it works for, ""
/// when it works for none or the label cannot be read.
bool EMBProcessRecordDispatchQueueNames(const EMBProcess* process, EMBFile* file);

/// The system's active, inactive, wired (unevictable) and free memory, in bytes, from /proc/meminfo.
bool EMBProcessGetMemoryUsage(
    std::uint64_t* active, std::uint64_t* inactive, std::uint64_t* wired, std::uint64_t* free);

/// This process's virtual and resident size in bytes (/proc/self/statm) and its user and system time in
/// microseconds (getrusage).
bool EMBProcessGetInfo(const EMBProcess* process, std::uint64_t* virtualSize, std::uint64_t* residentSize,
    std::uint64_t* userTime, std::uint64_t* systemTime);

/// Writes "process_stats" when both of the above can be read; nothing otherwise.
bool EMBProcessRecordStats(const EMBProcess* process, EMBFile* file);

/// Writes "runtime": "objc_selector" "" and "crash_info_entries" [] (this platform has neither).
bool EMBProcessRecordRuntimeInfo(const EMBProcess* process, EMBFile* file);

}
