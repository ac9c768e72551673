// kelmor-drives: the drives dialog on FLTK, for the drive map that the
// launchers in this folder read.
#include "drives_tool/drive_letters.hpp"
#include "drives_tool/fltk_drives_window.hpp"

int main() {
    kelmor::drives::DriveLetters letters;
    return kelmor::fltk::runDrivesWindow(letters);
}
