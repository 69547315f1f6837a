#include "images.h"

#include <QtGlobal>

// Q_INIT_RESOURCE names a function in the global namespace, so it is called
// from one that is there too.
void initialiseImages()
{
    Q_INIT_RESOURCE(vantreo_images);
}
