#pragma once

// Registers the program's pictures (":/new prefix/images/NAME") with Qt's
// resource system. They live in a static library, whose resources the linker
// would otherwise leave out: the program, and every test that needs one of
// them, calls this before the first picture is loaded.
void initialiseImages();
