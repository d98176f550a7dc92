/* A stand-in for a Jet client that has a database open in shared mode, run under Wine: it opens
 * the database deny-none, creates the lock file NAME.ldb beside it, writes its computer and user
 * name into entry 1 and takes user lock 1 (one byte at 0x10000001) with LockFile. It prints
 * "ready" and holds everything until the file named by its second argument appears (or two
 * minutes pass); then it closes both files and deletes the lock file, as Jet does when its last
 * user leaves.
 *
 *   jet_user.exe DATABASE.mdb STOPFILE
 */
#include <windows.h>

#include <stdio.h>
#include <string.h>
#include <wchar.h>

static int fail(const char* what) {
    printf("failed: %s (error %lu)\n", what, (unsigned long)GetLastError());
    fflush(stdout);
    return 1;
}

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) return fail("usage: jet_user.exe DATABASE.mdb STOPFILE");
    const DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    HANDLE database = CreateFileW(argv[1], GENERIC_READ | GENERIC_WRITE, shareAll, NULL, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, NULL);
    if (database == INVALID_HANDLE_VALUE) return fail("open the database");

    wchar_t lockName[MAX_PATH];
    wcsncpy(lockName, argv[1], MAX_PATH - 1);
    lockName[MAX_PATH - 1] = L'\0';
    wchar_t* dot = wcsrchr(lockName, L'.');
    if (!dot || dot + 4 >= lockName + MAX_PATH) return fail("make the lock file's name");
    wcscpy(dot, L".ldb");
    HANDLE lockFile = CreateFileW(lockName, GENERIC_READ | GENERIC_WRITE, shareAll, NULL, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, NULL);
    if (lockFile == INVALID_HANDLE_VALUE) return fail("create the lock file");

    char entry[64];
    memset(entry, 0, sizeof entry);
    memcpy(entry, "WINEBOX", 7);
    memcpy(entry + 32, "Admin", 5);
    DWORD written = 0;
    if (!WriteFile(lockFile, entry, sizeof entry, &written, NULL) || written != sizeof entry)
        return fail("write the user entry");
    if (!LockFile(lockFile, 0x10000001, 0, 1, 0)) return fail("take the user lock");

    printf("ready\n");
    fflush(stdout);
    for (int waited = 0; waited < 120000; waited += 50) {
        if (GetFileAttributesW(argv[2]) != INVALID_FILE_ATTRIBUTES) break;
        Sleep(50);
    }
    UnlockFile(lockFile, 0x10000001, 0, 1, 0);
    CloseHandle(lockFile);
    CloseHandle(database);
    DeleteFileW(lockName);
    printf("closed\n");
    fflush(stdout);
    return 0;
}
