include(${CMAKE_CURRENT_LIST_DIR}/cli_check_support.cmake)
# A short run, then its table as CSV and its chart in the three picture formats.
cli(0 out err run --params cell1.par --drivers cell1.drr --output cell1.out --start 1595
    --stop 1610)
cli(0 out err table --output cell1.out --csv cell1.csv)
file(STRINGS ${WORK}/cell1.csv rows)
list(LENGTH rows n)
if(NOT n EQUAL 13)  # names, units, the start line, 1601 .. 1610
  message(FATAL_ERROR "cell1.csv has ${n} rows")
endif()
list(GET rows 0 names)
list(GET rows 2 first)
string(REGEX MATCHALL "," commas "${names}")
list(LENGTH commas columns)
if(NOT columns EQUAL 154 OR NOT names MATCHES "^Time,CO2,.*,Wood Carbon," OR
   NOT first MATCHES "^1595,")
  message(FATAL_ERROR "unexpected CSV rows:\n${names}\n${first}")
endif()

foreach(as values relative cumulative)
  foreach(ext png svg pdf)
    cli(0 out err plot --output cell1.out --series "Foliage Carbon,Wood Carbon,Root Carbon"
        --as ${as} --image ${as}.${ext})
    file(READ ${WORK}/${as}.${ext} head LIMIT 8 HEX)
    if(NOT head MATCHES "^(89504e47|3c3f786d|25504446)")  # PNG, XML, %PDF
      message(FATAL_ERROR "${as}.${ext} is not a picture: ${head}")
    endif()
  endforeach()
endforeach()
file(READ ${WORK}/values.svg svg)
expect_contains("${svg}" "Wood Carbon")
# Against a state instead of time.
cli(0 out err plot --output cell1.out --series "Root Carbon" --x "Foliage Carbon" --image x.png)
# By symbols, drawn under the columns' names.
cli(0 out err plot --output cell1.out --series "Cf,Wood Carbon" --x Cr --image symbols.svg)
file(READ ${WORK}/symbols.svg svg)
expect_contains("${svg}" "Foliage Carbon")
expect_contains("${svg}" "Root Carbon")

# Refused before anything is drawn: an unknown column, eleven series, another format.
cli(1 out err plot --output cell1.out --series "Wood Carbon,Nothing" --image n.png)
expect_contains("${err}" "no column 'Nothing'")
cli(1 out err plot --output cell1.out --series "a,b,c,d,e,f,g,h,i,j,k" --image n.png)
expect_contains("${err}" "at most 10")
cli(1 out err plot --output cell1.out --series "Wood Carbon" --image n.gif)
expect_contains("${err}" ".png, .svg or .pdf")
cli(1 out err plot --output cell1.out --series "Wood Carbon" --as ratio --image n.png)
if(EXISTS ${WORK}/n.png OR EXISTS ${WORK}/n.gif)
  message(FATAL_ERROR "a refused plot wrote a picture")
endif()
