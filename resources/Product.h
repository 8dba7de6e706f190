/* The product facts that the resource scripts (through windres) and the C++ sources share: the
   version, the names and the copyright. Plain #define lines of literals only, which both read. */
#ifndef TESSARON_PRODUCT_H
#define TESSARON_PRODUCT_H

#define TSD_PRODUCT_NAME "Tessaron Word Processor"
#define TSD_COMPANY_NAME "The Tessaron Word Processor Team"
#define TSD_COPYRIGHT "Copyright (c) 2009-2026 Tessaron Software. All rights reserved."
/* The release, as text and as the four numbers of a version resource: change both together. */
#define TSD_VERSION "4.4.3.8"
#define TSD_VERSION_NUMBERS 4,4,3,8

#endif
