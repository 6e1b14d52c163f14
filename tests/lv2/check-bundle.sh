#!/usr/bin/env bash
# Reads the built LV2 bundle with tools that share no code with JUCE's: lilv's command-line host (lv2ls,
# lv2info) and serd's Turtle reader (serdi). Usage: check-bundle.sh BUNDLE URI MACRO_ROWS, where MACRO_ROWS
# is the program that prints the macro table, the parameters the bundle should publish (MacroRows.cpp).
set -uo pipefail

bundle="$(realpath "$1")"
uri="$2"
macro_rows="$3"
failures=0

fail() {
    echo "FAILED: $*" >&2
    failures=$((failures + 1))
}

# Only this bundle is on the search path, so the list is exactly the plug-ins it declares.
export LV2_PATH
LV2_PATH="$(dirname "${bundle}")"

listed="$(lv2ls)"
[ "${listed}" = "${uri}" ] || fail "lv2ls lists '${listed}', not exactly '${uri}'"

info="$(lv2info "${uri}")" || fail "lv2info cannot read ${uri}"

expect_info() { # description, extended regular expression over lv2info's output
    grep -Eq "$2" <<<"${info}" || fail "lv2info shows no $1"
}

expect_info "latency port" 'Has latency: +yes, reported by port [0-9]+'
expect_info "bypass (lv2:enabled) port" 'Designation: +http://lv2plug.in/ns/lv2core#enabled'
expect_info "state interface" 'Extension Data: +.*http://lv2plug.in/ns/ext/state#interface'
expect_info "X11 editor" "^[[:space:]]+${uri}:UI\$"
expect_info "X11 editor class" 'Class: +http://lv2plug.in/ns/extensions/ui#X11UI'
expect_info "name" 'Name: +VELDRANOX$'
expect_info "author" 'Author: +Yrven$'
expect_info "stereo input" 'Symbol: +audio_in_2$'
expect_info "stereo output" 'Symbol: +audio_out_2$'

# The macro table's parameters as N-Triples: label, range and default of each, read as numbers.
triples=""
for ttl in "${bundle}"/*.ttl; do
    triples+="$(serdi -i turtle -o ntriples "${ttl}")"$'\n' || fail "serdi cannot read ${ttl}"
done

value_of() { # parameter id, predicate: the literal's value
    awk -v s="<${uri}:$1>" -v p="<$2>" '$1 == s && $2 == p { v = $3; sub(/^"/, "", v); sub(/".*$/, "", v); print v }' \
        <<<"${triples}"
}

rows="$("${macro_rows}")" || fail "${macro_rows} printed no macro table"
[ -n "${rows}" ] || fail "the macro table has no rows"

lv2core="http://lv2plug.in/ns/lv2core#"
while IFS=$'\t' read -r id label default minimum maximum; do
    [ "$(value_of "${id}" "http://www.w3.org/2000/01/rdf-schema#label")" = "${label}" ] || fail "${id} is not labelled ${label}"
    for check in "minimum ${minimum}" "maximum ${maximum}" "default ${default}"; do
        read -r predicate expected <<<"${check}"
        actual="$(value_of "${id}" "${lv2core}${predicate}")"
        awk -v a="${actual}" -v e="${expected}" 'BEGIN { exit !(a != "" && a + 0 == e + 0) }' ||
            fail "${id} has ${predicate} '${actual}', not ${expected}"
    done
    grep -Fq "<${uri}> <http://lv2plug.in/ns/ext/patch#writable> <${uri}:${id}> ." <<<"${triples}" ||
        fail "${id} is not a writable parameter of the plug-in"
done <<<"${rows}"

# No parameter besides the table's.
expected_count="$(grep -c . <<<"${rows}")"
writable_count="$(grep -c "^<${uri}> <http://lv2plug.in/ns/ext/patch#writable> " <<<"${triples}")"
[ "${writable_count}" = "${expected_count}" ] ||
    fail "the plug-in has ${writable_count} writable parameters, the macro table ${expected_count}"

if [ "${failures}" -ne 0 ]; then
    exit 1
fi
echo "LV2 bundle ${bundle}: ${uri}, latency, bypass, state, editor and ${expected_count} parameters as expected"
