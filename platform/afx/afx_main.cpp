// The program's entry, in a library of its own so that test programs keep theirs.
#include "platform/afx/winapp.h"

int main(int argc, char** argv) {
    return AfxWinMain(argc, argv);
}
