# Copies the folder SOURCE into DESTINATION: cmake -DSOURCE=a -DDESTINATION=b -P copydata.cmake
# file(COPY) keeps times and leaves files alone that are already there with the same time.
file(COPY ${SOURCE} DESTINATION ${DESTINATION})
