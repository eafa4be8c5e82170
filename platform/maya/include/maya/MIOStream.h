#ifndef MAYA_STANDIN_MIOSTREAM_H
#define MAYA_STANDIN_MIOSTREAM_H
#include <iostream>
#endif
