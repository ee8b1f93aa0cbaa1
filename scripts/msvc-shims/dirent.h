// Visual Studio has no <dirent.h>: code that needs it would not build there.
#error "<dirent.h> is not part of the Windows SDK or the Universal CRT"
