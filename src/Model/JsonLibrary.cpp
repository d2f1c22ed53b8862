// Boost.JSON compiled into this library, so the plugin needs no Boost shared library at run
// time. Every other file includes only the headers.
#include <boost/json/src.hpp>
