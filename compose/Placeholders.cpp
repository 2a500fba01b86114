// Stand-ins for routines of subsystems that are not built yet, so that the
// tick, the composer and start-up can call them today. Each is replaced by
// its real version when its subsystem lands (and this file shrinks with it):
// the pan with the pointer subsystem, the closed-eye overlays with the
// selection sets, the show with the scene show, the night sky effects with
// the night sky.
#include "shell/Velmiaunit1.h"

#include <initializer_list>

using namespace vcl;
