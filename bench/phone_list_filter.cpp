// phone-list-filter FILE AREA-CODE: loads an access-number list as the wizard
// does (the files port, then the table) and prints how many numbers the area
// code has. The benchmark times it as a whole process.
#include <iostream>

#include "exchange/access_numbers.h"
#include "platform/posix/files.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: phone-list-filter FILE AREA-CODE\n";
        return 2;
    }
    const regwiz::platform::posix::PosixFiles files;
    auto bytes = files.Read(argv[1]);
    if (!bytes) {
        std::cerr << "phone-list-filter: cannot read " << argv[1] << "\n";
        return 1;
    }
    const auto table = regwiz::exchange::ReadPhoneList(std::move(*bytes));
    std::cout << regwiz::exchange::NumbersInAreaCode(table, argv[2]).size() << "\n";
    return 0;
}
