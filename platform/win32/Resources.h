// Identifiers of the resources that the backend finds by number. The pictures
// are found by their file names (Pictures.rc); this header is shared by the
// resource script and the C++ sources.
#pragma once

// The program's icon. Explorer shows the icon with the lowest identifier.
#define PONDERIX_ICON 1
// The hand cursor of the controls whose layout asks for it.
#define PONDERIX_HAND_CURSOR 2
