// Boost.URL's compiled part, built into this library once: the program links
// no Boost library, on Linux or Windows.
#include <boost/url/src.hpp>
