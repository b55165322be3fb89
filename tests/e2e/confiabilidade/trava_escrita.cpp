// Holds the write lock of a database file for the given milliseconds, as another workstation's
// program would: readers go on, writers wait. Prints "travado" once it holds the lock.
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    sqlite3* db = nullptr;
    if (sqlite3_open(argv[1], &db) != SQLITE_OK)
        return 3;
    if (sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK)
        return 4;
    std::puts("travado");
    std::fflush(stdout);
    std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(argv[2])));
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return 0;
}
