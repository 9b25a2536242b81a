/* The tool's version, for its version resource and its log. Plain #defines because the resource
   compiler reads this file too. */
#ifndef CX_RESOURCES_VERSION_H
#define CX_RESOURCES_VERSION_H

#define CX_VERSION_NUMBERS 2, 0, 0, 0
#define CX_VERSION_TEXT "2.0.0.0"

#endif
