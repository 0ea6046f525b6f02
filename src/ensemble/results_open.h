#pragma once
// Opens and makes the netCDF files of results files, so that every failure names the file and
// says in words what is wrong, rather than the netCDF library's own text.

#include <memory>
#include <string>

namespace netCDF {
class NcFile;
}

namespace kvsorv::ensemble {

// An existing results file, to read or to write. EResultsError when it cannot be opened or is
// not a results file (not netCDF-4, or without a results file's dimensions and variables).
std::unique_ptr<netCDF::NcFile> OpenResultsNetcdf(const std::string& fileName, bool write);
// A new netCDF-4 file `making` (replacing one of that name), reported as `fileName` when it
// cannot be made. EResultsError.
std::unique_ptr<netCDF::NcFile> CreateResultsNetcdf(const std::string& making,
                                                    const std::string& fileName);
// Keeps the HDF5 library from closing, at the program's exit, a file whose close has already
// failed (a full disk): its own attempt then crashes the program after the failure was
// reported. Every results file is closed explicitly before; call first thing in main.
void LeaveFailedFilesAtExit();

// Whether a process holds the file open to write it (the HDF5 library's lock).
bool HeldByWriter(const std::string& fileName);

inline constexpr const char* kDiskFull = "the disk is full (no space left on the device)";

// Whether a failure to create or write `fileName` comes from a full disk: the error code is
// ENOSPC, or the file's directory has less than 256 KiB free (the libraries report a full disk
// as an HDF, input/output or even a permission error).
bool DiskFullFor(const std::string& fileName, int code);

// "FILE: cannot be opened: no such file", "FILE: cannot be created: the directory D does not
// exist", ...: why `fileName` cannot be opened or created, from an errno or netCDF error code.
std::string CannotOpen(const std::string& fileName, int code, bool creating);

}  // namespace kvsorv::ensemble
