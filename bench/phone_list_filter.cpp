// phone-list-filter FILE AREA-CODE: loads an access-number list as the wizard
// does (the files port, then the table) and prints how many numbers the area
// code has. The benchmark times it as a whole process.
#include <cstdio>

#include "exchange/access_numbers.h"
#include "platform/posix/files.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fputs("usage: phone-list-filter FILE AREA-CODE\n", stderr);
        return 2;
    }
    const regwiz::platform::posix::PosixFiles files;
    auto bytes = files.Read(argv[1]);
    if (!bytes) {
        std::fprintf(stderr, "phone-list-filter: cannot read %s\n", argv[1]);
        return 1;
    }
    const auto table = regwiz::exchange::ReadPhoneList(std::move(*bytes));
    std::printf("%zu\n", regwiz::exchange::NumbersInAreaCode(table, argv[2]).size());
    return 0;
}
