# The product's facts for the release scripts, read from the #define lines of resources/Product.h
# (plain string literals). Source it; product_fact NAME prints the text of TSD_<NAME> and fails
# when the header has no such literal.
PRODUCT_H="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/resources/Product.h"

product_fact() {
    local value
    value="$(sed -n "s/^#define TSD_$1 \"\\(.*\\)\"\$/\\1/p" "$PRODUCT_H")"
    [ -n "$value" ] || { echo "release: no TSD_$1 text in $PRODUCT_H" >&2; return 1; }
    # The literals hold no escapes but \" and \\.
    value="${value//\\\"/\"}"
    printf '%s\n' "${value//\\\\/\\}"
}
