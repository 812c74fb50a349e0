# Makes the page suite: a copy of the form page's folder with suite.html, the form page with
# the test scripts added. The tests run inside the page itself, so the suite needs no access
# from one file: URL to another (the program's engine settings refuse it).
#   cmake -DSOURCE=<html folder> -DOUT=<suite folder> -P make-suite.cmake
file(REMOVE_RECURSE ${OUT})
file(COPY ${SOURCE}/ DESTINATION ${OUT}
     FILES_MATCHING PATTERN "*.html" PATTERN "*.js" PATTERN "*.css")
file(READ ${SOURCE}/tolv.html page)
set(test_scripts
    "  <script src=\"tests/harness.js\" defer></script>\n"
    "  <script src=\"tests/fixtures/saved-records.js\" defer></script>\n"
    "  <script src=\"tests/tolv.test.js\" defer></script>\n")
string(JOIN "" test_scripts ${test_scripts})
string(FIND "${page}" "</head>" head_end)
if(head_end EQUAL -1)
    message(FATAL_ERROR "tolv.html has no </head>")
endif()
string(REPLACE "</head>" "${test_scripts}</head>" suite "${page}")
file(WRITE ${OUT}/suite.html "${suite}")
