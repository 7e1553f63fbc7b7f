# Writes the chart page with its scripts in one file: each script of the page is a file fetched
# on its own, and the engine fetches them one after the other, which is a good part of what the
# page costs to load. The scripts stay separate in the sources (the page tests load them one by
# one); the bundle keeps their order and runs at the end of the body, where the page draws: a
# script there waits for the style sheet, as the scripts of the head did (a deferred one would
# not, and the chart would be fitted to a view that is not laid out yet).
#
#   cmake -DPAGE=<source .html> -DOUT_PAGE=<.html> -DOUT_SCRIPT=<.js> -DSCRIPT_NAME=<src> -P BundlePage.cmake
get_filename_component(page_dir ${PAGE} DIRECTORY)
file(READ ${PAGE} html)
string(REGEX MATCHALL "<script src=\"[^\"]+\"( defer)?></script>\n?" tags "${html}")
if(NOT tags)
  message(FATAL_ERROR "${PAGE} names no scripts")
endif()
set(bundle "")
foreach(tag ${tags})
  string(REGEX REPLACE "<script src=\"([^\"]+)\".*" "\\1" src "${tag}")
  file(READ ${page_dir}/${src} text)
  string(APPEND bundle "// ${src}\n${text}\n;\n")
  string(REPLACE "${tag}" "" html "${html}")
endforeach()
string(REPLACE "</body>" "<script src=\"${SCRIPT_NAME}\"></script>\n</body>" html "${html}")
file(WRITE ${OUT_SCRIPT} "${bundle}")
file(WRITE ${OUT_PAGE} "${html}")
