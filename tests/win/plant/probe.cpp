// Loads the library its command line names, by its bare name, as a program that does not guard
// its search would: the control that shows a planted library is found where it lies.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR arguments, int)
{
    return LoadLibraryA(arguments) != nullptr ? 0 : 1;
}
