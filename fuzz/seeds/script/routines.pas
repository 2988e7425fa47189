// Procedures and functions: value and var parameters, defaults, Result, Exit, recursion.
var
  counter: Integer;

function Fact(N: Integer): Integer;
begin
  if N <= 1 then
    Result := 1
  else
    Result := N * Fact(N - 1);
end;

procedure Swap(var A, B: Variant);
var
  T: Variant;
begin
  T := A; A := B; B := T;
end;

function Greet(Name: String; Suffix: String = ' 先生'): String;
begin
  Greet := Name + Suffix;
end;

function FirstNegative(A, B, C: Integer): Integer;
begin
  Result := 0;
  if A < 0 then Exit(A);
  if B < 0 then begin Result := B; Exit; end;
  Result := C;
end;

procedure Bump;
begin
  counter := counter + 1;
end;

var
  x, y: Variant;
begin
  ShowMessage(Fact(10));               // expect: 3628800
  x := 1; y := 'two';
  Swap(x, y);
  ShowMessage(x + ' ' + IntToStr(y));  // expect: two 1
  ShowMessage(Greet('张三'));           // expect: 张三 先生
  ShowMessage(Greet('李四', '女士'));    // expect: 李四女士
  ShowMessage(FirstNegative(1, -2, 3)); // expect: -2
  ShowMessage(FirstNegative(-5, 2, 3)); // expect: -5
  ShowMessage(FirstNegative(1, 2, 3));  // expect: 3
  Bump; Bump;
  ShowMessage(counter);                 // expect: 2
end.
