// Zip extraction figures: one 200 MB entry and 10,000 files of 4 KB, each
// beside the time Debian's "unzip -q" takes for the same archive (when it is
// installed; it runs as a Unix program started through Wine).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/BenchUtil.h"
#include "download/ZipArchive.h"
#include "framework/FileUtil.h"
#include "tests/download/ZipWriter.h"

namespace {

// Text-like bytes: words from a small vocabulary, compressible like a novel.
std::string TextBytes(size_t n, unsigned seed)
{
    static const char* const kWords[] = {"the ", "chapter ", "river ", "sword ", "moon ", "house ", "\r\n",
                                         "said ", "went ", "night ", "a ", "of ", "and ", "mountain ", "old ",
                                         "letter ", "road ", "wind ", "came ", "in "};
    std::string s;
    s.reserve(n + 16);
    unsigned x = seed;
    while (s.size() < n) {
        x = x * 1103515245u + 12345u;
        s += kWords[(x >> 16) % 20];
    }
    s.resize(n);
    return s;
}

bool WriteBytes(HANDLE h, const void* p, size_t n)
{
    DWORD w = 0;
    return WriteFile(h, p, (DWORD)n, &w, nullptr) && w == n;
}

// One deflated entry of `size` bytes, written in pieces (the data never sits
// in memory whole).
bool WriteLargeArchive(const CString& path, size_t size)
{
    HANDLE h = CreateFileW(path, GENERIC_WRITE | GENERIC_READ, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    const std::string name = "big/novel.txt";
    std::string local(30 + name.size(), '\0');
    WriteBytes(h, local.data(), local.size());   // filled in at the end

    z_stream z = {};
    deflateInit2(&z, 6, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    const size_t kPiece = 4 << 20;
    std::vector<unsigned char> out(kPiece + 1024);
    uLong crc = crc32(0, nullptr, 0);
    size_t done = 0, compressed = 0;
    bool ok = true;
    while (ok && done < size) {
        const size_t n = std::min(kPiece, size - done);
        const std::string piece = TextBytes(n, (unsigned)done);
        crc = crc32(crc, (const Bytef*)piece.data(), (uInt)n);
        done += n;
        z.next_in = (Bytef*)piece.data();
        z.avail_in = (uInt)n;
        const int flush = done == size ? Z_FINISH : Z_NO_FLUSH;
        do {
            z.next_out = out.data();
            z.avail_out = (uInt)out.size();
            deflate(&z, flush);
            const size_t have = out.size() - z.avail_out;
            ok = ok && WriteBytes(h, out.data(), have);
            compressed += have;
        } while (z.avail_out == 0 || (flush == Z_FINISH && z.avail_in > 0));
    }
    deflateEnd(&z);

    testzip::Entry e = testzip::File(name, "");
    std::string header;
    testzip::Put32(header, 0x04034B50);
    testzip::Put16(header, 20);
    testzip::Put16(header, 0);
    testzip::Put16(header, 8);
    testzip::Put16(header, e.dosTime);
    testzip::Put16(header, e.dosDate);
    testzip::Put32(header, (uint32_t)crc);
    testzip::Put32(header, (uint32_t)compressed);
    testzip::Put32(header, (uint32_t)size);
    testzip::Put16(header, (uint32_t)name.size());
    testzip::Put16(header, 0);
    header += name;

    std::string central;
    testzip::Put32(central, 0x02014B50);
    testzip::Put16(central, 0x0314);
    central += header.substr(4, 26);
    testzip::Put16(central, 0);
    testzip::Put16(central, 0);
    testzip::Put16(central, 0);
    testzip::Put32(central, 0100644u << 16);
    testzip::Put32(central, 0);
    central += name;
    const uint32_t cdOffset = (uint32_t)(header.size() + compressed);
    const uint32_t cdSize = (uint32_t)central.size();
    testzip::Put32(central, 0x06054B50);
    testzip::Put16(central, 0);
    testzip::Put16(central, 0);
    testzip::Put16(central, 1);
    testzip::Put16(central, 1);
    testzip::Put32(central, cdSize);
    testzip::Put32(central, cdOffset);
    testzip::Put16(central, 0);
    ok = ok && WriteBytes(h, central.data(), central.size());
    SetFilePointer(h, 0, nullptr, FILE_BEGIN);
    ok = ok && WriteBytes(h, header.data(), header.size());
    CloseHandle(h);
    return ok;
}

// The Unix path of a Windows one, through Wine's kernel32 (empty elsewhere).
std::string UnixPath(const CString& path)
{
    typedef char*(CDECL * ToUnix)(LPCWSTR);
    static ToUnix toUnix = (ToUnix)GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name");
    if (!toUnix)
        return std::string();
    char* p = toUnix(path);
    if (!p)
        return std::string();
    std::string s(p);
    HeapFree(GetProcessHeap(), 0, p);
    return s;
}

// Milliseconds "unzip -q -o archive -d folder" takes; negative without unzip.
// Wine cannot wait for a Unix process, so a shell measures it and leaves the
// figure in a file.
double TimeUnzip(const CString& zip, const CString& folder)
{
    if (GetFileAttributesW(L"Z:\\usr\\bin\\unzip") == INVALID_FILE_ATTRIBUTES)
        return -1;
    const CString result = folder + L".ns";
    const std::string z = UnixPath(zip), f = UnixPath(folder), r = UnixPath(result);
    if (z.empty() || f.empty() || r.empty())
        return -1;
    DeleteFileW(result);
    const std::string script = "s=$(date +%s%N); /usr/bin/unzip -q -o '" + z + "' -d '" + f +
                               "' >/dev/null 2>&1; e=$(date +%s%N); echo $((e-s)) > '" + r + ".tmp'; mv '" + r +
                               ".tmp' '" + r + "'";
    CString cmd = L"/bin/sh -c \"" + MultiByteToWide(script.data(), (int)script.size(), CP_UTF8) + L"\"";
    STARTUPINFOW si = {sizeof(si)};
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(L"Z:\\bin\\sh", cmd.GetBuffer(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return -1;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    std::string ns;
    for (int waited = 0; waited < 300000 && !ReadWholeFile(result, ns); waited += 20)
        Sleep(20);
    DeleteFileW(result);
    return ns.empty() ? -1 : atof(ns.c_str()) / 1e6;
}

// What creating, writing and closing the same files takes through the
// system's file calls alone: the floor under any unpacking here.
double TimeRawFiles(const CString& folder, const std::vector<testzip::Entry>& files)
{
    CreateFolderTree(folder);
    CString made;
    const double t0 = BenchNowMs();
    for (const testzip::Entry& e : files) {
        CString path = folder + L"\\" + MultiByteToWide(e.name.data(), (int)e.name.size(), CP_ACP);
        path.Replace(L'/', L'\\');
        const CString dir = path.Left(path.ReverseFind(L'\\'));
        if (dir != made) {
            CreateFolderTree(dir);
            made = dir;
        }
        HANDLE h = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        WriteBytes(h, e.data.data(), e.data.size());
        CloseHandle(h);
    }
    return BenchNowMs() - t0;
}

void Compare(const char* name, const CString& zip, const CString& scratch, double bytes)
{
    const CString ours = scratch + L"\\ours", theirs = scratch + L"\\unzip";
    RemoveFolderTree(ours);
    // What a download without a length costs before the archive counts.
    const double c0 = BenchNowMs();
    const bool whole = IsWholeArchive(zip);
    BenchReport((std::string("check_whole_") + name).c_str(), whole ? BenchNowMs() - c0 : -1, "ms");
    CZipUnpacker unpacker;
    const double t0 = BenchNowMs();
    const BOOL ok = unpacker.UnpackToFolder(zip, ours);
    const double ms = BenchNowMs() - t0;
    if (!ok) {
        fprintf(stderr, "zip bench: %s did not unpack (0x%lx)\n", name, (unsigned long)unpacker.m_nLastResult);
        return;
    }
    std::string line = std::string("unpack_") + name;
    BenchReport(line.c_str(), ms, "ms");
    if (bytes > 0)
        BenchReport((line + "_speed").c_str(), bytes / 1048576.0 / (ms / 1000.0), "MB/s");
    RemoveFolderTree(ours);
    RemoveFolderTree(theirs);
    const double unzipMs = TimeUnzip(zip, theirs);
    RemoveFolderTree(theirs);
    if (unzipMs < 0)
        return;
    line = std::string("unzip_q_") + name;
    BenchReport(line.c_str(), unzipMs, "ms");
    if (bytes > 0)
        BenchReport((line + "_speed").c_str(), bytes / 1048576.0 / (unzipMs / 1000.0), "MB/s");
    BenchReport((std::string("unpack_") + name + "_time_vs_unzip").c_str(), ms / unzipMs, "x");
}

} // namespace

void RunZipBench()
{
    const CString scratch = BenchTempFolder(L"lumivell_zip_bench");
    RemoveFolderTree(scratch);
    CreateFolderTree(scratch);

    const size_t kLarge = 200u << 20;
    const CString large = scratch + L"\\large.zip";
    if (WriteLargeArchive(large, kLarge))
        Compare("200mb_entry", large, scratch, (double)kLarge);
    DeleteFileW(large);

    std::vector<testzip::Entry> files;
    for (int i = 0; i < 10000; ++i) {
        char name[64];
        snprintf(name, sizeof(name), "books/vol%02d/ch%05d.txt", i / 500, i);
        files.push_back(testzip::File(name, TextBytes(4096, (unsigned)i)));
    }
    const CString small = scratch + L"\\small.zip";
    const std::string bytes = testzip::Build(files);
    HANDLE h = CreateFileW(small, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    const bool written = h != INVALID_HANDLE_VALUE && WriteBytes(h, bytes.data(), bytes.size());
    if (h != INVALID_HANDLE_VALUE)
        CloseHandle(h);
    if (written) {
        Compare("10000_files_4kb", small, scratch, 0);
        BenchReport("create_10000_files_4kb_system_calls_only", TimeRawFiles(scratch + L"\\raw", files), "ms");
    }
    RemoveFolderTree(scratch);
}
