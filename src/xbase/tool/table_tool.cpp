#include "xbase/Table.h"

#include <iostream>

int main(int, char**) {
    std::cerr << "stickwell-table: not built yet\n";
    return 2;
}
