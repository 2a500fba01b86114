// Program entry: create the one form and run the window until it closes.
#include "platform/qt/QtHost.h"
#include "shell/Velmiaunit1.h"

int main(int argc, char** argv)
{
    return velmia::qt::RunApplication(argc, argv, [] {
        Svelmia = new TSvelmia();
        return Svelmia;
    });
}
