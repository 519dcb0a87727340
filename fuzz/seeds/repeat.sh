# Helpers for the seed makers: repeat TEXT until it fills BYTES bytes.
repeat() {
    local text=$1 bytes=$2
    while [ ${#text} -lt "$bytes" ]; do text=$text$text; done
    printf '%s' "${text:0:$bytes}"
}
# A frame: TAG and the payload read from standard input.
frame() {
    local payload
    payload=$(cat; printf x)
    payload=${payload%x}
    LC_ALL=C printf '<%s:%d>%s' "$1" "$(LC_ALL=C; printf '%s' "$payload" | wc -c)" "$payload"
}
